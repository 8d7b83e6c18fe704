#pragma once
// The records not yet delivered to the broker, oldest first. Up to a bound they wait in memory in a
// compact form; beyond it the queue goes on in the spill file until the file has been delivered.
// Used by one thread.
#include <cstdint>
#include <deque>
#include <string>

#include "publish/PublishRecord.h"
#include "publish/SpillFile.h"

class CRecordQueue {
public:
    struct TMessage {
        std::string topic;
        std::string payload;
    };

    // Live records go to recordTopic; a spill file keeps each record's topic with it.
    CRecordQueue(std::string spillPath, std::string recordTopic);

    // Takes over what an earlier publisher left in the spill file; false with the reason when the
    // file cannot be used (the queue then stays in memory).
    bool Open(std::string& error);
    // Records kept in memory before the spill file takes over; at least one.
    void SetMemoryBound(size_t records) { m_memoryBound = records > 0 ? records : 1; }
    // Never refuses: when the spill file cannot be written the records stay in memory beyond the
    // bound, and error says why (empty on success).
    void Push(const TPublishRecord& record, std::string& error);
    // Records not yet delivered, and how many of them are in the spill file.
    uint64_t Count() const;
    uint64_t SpilledCount() const { return m_spill.UnreadLines(); }
    // The record at position i from the front (i < Count()).
    TMessage Peek(size_t i);
    // The oldest record was delivered.
    void PopFront();
    // Saves every record still queued into the spill file, for the next publisher. False with the
    // reason when the file cannot be written.
    bool Persist(std::string& error);
    const std::string& SpillPath() const { return m_spill.Path(); }

private:
    struct TAhead {
        TMessage message;
        uint64_t bytes;  // its line in the spill file
    };

    void Encode(const TPublishRecord& record);
    TPublishRecord Decode(size_t offset) const;
    size_t OffsetOf(size_t i) const;
    TMessage Render(const TPublishRecord& record) const;
    bool SpillMemory(const TPublishRecord* also, std::string& error);
    void ReadAhead(size_t upTo);

    std::string m_recordTopic;
    size_t m_memoryBound = 1;
    // Records in memory while the spill file is unused: each one's size, and their bytes.
    std::deque<uint16_t> m_sizes;
    std::deque<uint8_t> m_bytes;
    // While the spill file is in use: its oldest lines, read for sending.
    CSpillFile m_spill;
    std::deque<TAhead> m_ahead;
};
