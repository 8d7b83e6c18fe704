#pragma once
// The extremes of a channel's valid readings per 16, 256, 4096, ... records, so that a screen
// holding millions of records is drawn from a few thousand nodes; beside them the sums for the
// mean over a span.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "data/BlockLinkVectorT.h"
#include "data/MeasurementValue.h"
#include "data/ReadingSums.h"

// Lowest and highest valid reading of some records; empty when none of them is valid.
struct TReadingExtremes {
    int16_t min = INT16_MAX;
    int16_t max = INT16_MIN;

    bool Empty() const { return max < min; }
    void Widen(int16_t tenths) {
        if (!IsValidReading(tenths))
            return;
        min = std::min(min, tenths);
        max = std::max(max, tenths);
    }
    void Widen(const TReadingExtremes& other) {
        min = std::min(min, other.min);
        max = std::max(max, other.max);
    }
    bool operator==(const TReadingExtremes&) const = default;
};

// Records first .. first + span spread over columns of equal share: column c nominally starts at
// record first + ceil(c × span / columns), so record i belongs to the column trunc((i − first) ×
// columns / span), the pixel a line plot puts it in. The inner column starts are moved down to
// whole summary nodes of the size that fits a column (a record lands in its column or the next);
// column 0 starts at first and the last column ends at first + span. Records at or past end (the
// record count) belong to no column.
struct TEnvelopeGrid {
    size_t first = 0;
    size_t span = 0;
    size_t columns = 0;
    size_t end = 0;

    size_t ColumnStart(size_t column) const;
    // The column of record i (first <= i < first + span).
    size_t ColumnOf(size_t index) const;
    // Records a node of the snapping level covers: the largest power of 16 not above a column's
    // share, 1 below 16.
    size_t NodeRecords() const;
};

class CReadingSummary {
public:
    using TSeries = VEK::CBlockLinkVectorT<CMeasurementValue>;
    static constexpr size_t kFanOut = 16;

    void Clear() {
        m_levels.clear();
        m_size = 0;
        m_sums.Clear();
    }
    // The series changed size: added nodes are empty (growth adds Lost readings), the partial
    // last nodes are recomputed.
    void Resize(const TSeries& series);
    // Readings first .. end − 1 were stored where none was valid: the nodes above them widen.
    void Widen(const TSeries& series, size_t first, size_t end);
    // The reading at index was replaced by any value.
    void Recompute(const TSeries& series, size_t index);
    // Every node anew from the readings, lowest level first.
    void Rebuild(const TSeries& series);

    // The extremes of the readings first .. end − 1.
    TReadingExtremes Extremes(const TSeries& series, size_t first, size_t end) const;
    // The first of the readings first .. end − 1 that equals value, a valid reading that is their
    // lowest (or highest); end when none does. A few nodes per level, found through the extremes.
    size_t FirstIndexOf(const TSeries& series, size_t first, size_t end, int16_t value, bool lowest) const;
    // The total and count of the valid readings first .. end − 1.
    TReadingSum Sum(const TSeries& series, size_t first, size_t end) const {
        return m_sums.Sum(series, first, end);
    }
    // Columns columnBegin .. columnEnd − 1 of the grid into out[0 ..].
    void Envelope(const TSeries& series, const TEnvelopeGrid& grid, size_t columnBegin, size_t columnEnd,
                  TReadingExtremes* out) const;

    size_t Bytes() const;

private:
    TReadingExtremes FromReadings(const TSeries& series, size_t first, size_t end) const;
    TReadingExtremes FromChildren(size_t level, size_t node) const;
    // The node at level from what lies below it.
    void RecomputeNode(const TSeries& series, size_t level, size_t node);
    // The first reading equal to value below the node of a level, through the children whose
    // extreme it is.
    size_t FirstIndexInNode(const TSeries& series, size_t level, size_t node, int16_t value,
                            bool lowest) const;

    // Level L holds one node per 16^(L + 1) readings; the top level holds one node.
    std::vector<std::vector<TReadingExtremes>> m_levels;
    size_t m_size = 0;  // readings summarised
    CReadingSums m_sums;
};
