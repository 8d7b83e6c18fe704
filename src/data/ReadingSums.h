#pragma once
// The sum and count of a channel's valid readings per 1024 records, so that the mean over any span
// costs one node per 1024 records and, at its two ends, the readings of at most two nodes: never
// a pass over the span's readings. Eight bytes per 1024 readings.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "data/BlockLinkVectorT.h"
#include "data/MeasurementValue.h"

// The total of some valid readings in tenths, and how many there are.
struct TReadingSum {
    int64_t sum = 0;
    uint64_t count = 0;

    void Add(int16_t tenths) {
        if (!IsValidReading(tenths))
            return;
        sum += tenths;
        ++count;
    }
    bool operator==(const TReadingSum&) const = default;
};

class CReadingSums {
public:
    using TSeries = VEK::CBlockLinkVectorT<CMeasurementValue>;
    static constexpr size_t kNodeRecords = 1024;

    // Gives the memory back.
    void Clear() {
        std::vector<TNode>().swap(m_nodes);
        m_size = 0;
    }
    // The series changed size: added nodes are empty (growth adds Lost readings), a partial last
    // node left by a cut is summed anew.
    void Resize(const TSeries& series);
    // The nodes over readings first .. end − 1 anew from the readings.
    void Recompute(const TSeries& series, size_t first, size_t end);
    void Rebuild(const TSeries& series);

    // The valid readings first .. end − 1.
    TReadingSum Sum(const TSeries& series, size_t first, size_t end) const;
    size_t Bytes() const { return m_nodes.capacity() * sizeof(TNode); }

private:
    // 1024 readings of at most 32767 in magnitude sum within 32 bits.
    struct TNode {
        int32_t sum = 0;
        uint32_t count = 0;
    };
    void RecomputeNode(const TSeries& series, size_t node);

    std::vector<TNode> m_nodes;
    size_t m_size = 0;  // readings summed
};
