#pragma once
// The records not yet delivered to the broker, oldest first. Up to a bound they wait in memory in a
// compact form; beyond it the queue goes on in the spill file until the file has been delivered.
// Both are capped: past a cap the oldest records go, counted with the reason. Used by one thread.
#include <cstdint>
#include <deque>
#include <string>
#include <utility>
#include <vector>

#include "publish/PublishRecord.h"
#include "publish/SpillFile.h"

class CRecordQueue {
public:
    struct TMessage {
        std::string topic;
        std::string payload;
    };
    // Records dropped, by reason, in the order the reasons came.
    using TDrops = std::vector<std::pair<std::string, uint64_t>>;

    // Days of records at the fast rates, and still far from filling a disk.
    static constexpr uint64_t kSpillLimitBytes = uint64_t{1} << 30;
    // Records held in memory while the spill file cannot take them (a few days at the fast rates).
    static constexpr uint64_t kMemoryLimitBytes = uint64_t{256} << 20;
    // A spill file that failed is tried again after this long, not with every record.
    static constexpr int64_t kSpillRetryMs = 60'000;

    // Live records go to recordTopic, and only records of that topic are taken from a spill file.
    CRecordQueue(std::string spillPath, std::string recordTopic);

    // Takes over what an earlier publisher left in the spill file; false with the reason when the
    // file cannot be used (the queue then stays in memory).
    bool Open(std::string& error);
    // Records kept in memory before the spill file takes over; at least one.
    void SetMemoryBound(size_t records) { m_memoryBound = records > 0 ? records : 1; }
    // The caps, for tests and small disks.
    void SetLimits(uint64_t spillBytes, uint64_t memoryBytes) {
        m_spillLimit = spillBytes;
        m_memoryLimit = memoryBytes;
    }
    // Never refuses: when the spill file cannot be written the records stay in memory beyond the
    // bound, up to the memory cap, and error says why (empty on success).
    void Push(const TPublishRecord& record, std::string& error);
    // Records not yet delivered, and how many of them are in the spill file. Lines of the spill
    // file are counted until they are read and found to be no records.
    uint64_t Count() const;
    uint64_t SpilledCount() const { return m_spill.UnreadLines(); }
    // Reads ahead as far as position i: true when there is a record there.
    bool Has(size_t i);
    // The record at position i from the front (Has(i)).
    TMessage Peek(size_t i);
    // The oldest record was delivered, or is given up.
    void PopFront();
    // Saves every record still queued into the spill file, for the next publisher. False with the
    // reason when the file cannot be written.
    bool Persist(std::string& error);
    const std::string& SpillPath() const { return m_spill.Path(); }
    // What was dropped since the last call.
    TDrops TakeDrops();
    // Records were dropped from the front since the last call: positions have moved.
    bool TakeFrontMoved();

private:
    struct TAhead {
        TMessage message;
        uint64_t bytes;  // its line in the spill file, with the lines skipped after it
    };

    void Encode(const TPublishRecord& record);
    TPublishRecord Decode(size_t& offset, size_t size) const;
    size_t OffsetOf(size_t i) const;
    TMessage Render(const TPublishRecord& record) const;
    bool SpillMemory(const TPublishRecord* also, std::string& error);
    void ReadAhead(size_t upTo);
    void CapSpillFile();
    void CapMemory();
    void NoteDrop(const std::string& reason, uint64_t count, bool frontMoved);

    std::string m_recordTopic;
    size_t m_memoryBound = 1;
    uint64_t m_spillLimit = kSpillLimitBytes;
    uint64_t m_memoryLimit = kMemoryLimitBytes;
    // Records in memory while the spill file is unused: each one's size, and their bytes.
    std::deque<uint16_t> m_sizes;
    std::deque<uint8_t> m_bytes;
    // While the spill file is in use: its oldest lines, read for sending.
    CSpillFile m_spill;
    std::deque<TAhead> m_ahead;
    int64_t m_spillRetryAtMs = 0;
    std::string m_spillError;
    TDrops m_drops;
    bool m_frontMoved = false;
};
