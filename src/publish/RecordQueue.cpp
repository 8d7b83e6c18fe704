#include "publish/RecordQueue.h"

#include <cstring>
#include <vector>

#include "publish/MqttPayload.h"

namespace {

// Lines of the spill file read ahead for sending.
constexpr size_t kReadAheadLines = 256;

template <class T>
void Put(std::deque<uint8_t>& bytes, T value) {
    uint8_t raw[sizeof(T)];
    std::memcpy(raw, &value, sizeof(T));
    bytes.insert(bytes.end(), raw, raw + sizeof(T));
}

template <class T>
T Get(const std::deque<uint8_t>& bytes, size_t& offset) {
    uint8_t raw[sizeof(T)];
    for (size_t i = 0; i < sizeof(T); ++i) raw[i] = bytes[offset + i];
    offset += sizeof(T);
    T value;
    std::memcpy(&value, raw, sizeof(T));
    return value;
}

}  // namespace

CRecordQueue::CRecordQueue(std::string spillPath, std::string recordTopic)
    : m_recordTopic(std::move(recordTopic)), m_spill(std::move(spillPath)) {}

bool CRecordQueue::Open(std::string& error) {
    if (!m_spill.Open(error))
        return false;
    // A file whose lines were all delivered goes.
    return m_spill.UnreadLines() > 0 || m_spill.SaveProgress();
}

// Number, time, rate and unit, then channel number and reading of each channel in use.
void CRecordQueue::Encode(const TPublishRecord& record) {
    const size_t before = m_bytes.size();
    Put<uint32_t>(m_bytes, record.number);
    Put<int64_t>(m_bytes, record.timeMs);
    Put<uint32_t>(m_bytes, record.rateMs);
    Put<uint8_t>(m_bytes, record.fahrenheit ? 1 : 0);
    for (int k = 1; k <= TPublishRecord::kChannels; ++k) {
        if (!record.inUse[static_cast<size_t>(k)])
            continue;
        Put<uint8_t>(m_bytes, static_cast<uint8_t>(k));
        Put<int16_t>(m_bytes, record.readings[static_cast<size_t>(k)]);
    }
    m_sizes.push_back(static_cast<uint16_t>(m_bytes.size() - before));
}

size_t CRecordQueue::OffsetOf(size_t i) const {
    size_t offset = 0;
    for (size_t k = 0; k < i; ++k) offset += m_sizes[k];
    return offset;
}

TPublishRecord CRecordQueue::Decode(size_t i) const {
    size_t offset = OffsetOf(i);
    const size_t end = offset + m_sizes[i];
    TPublishRecord record;
    record.number = Get<uint32_t>(m_bytes, offset);
    record.timeMs = Get<int64_t>(m_bytes, offset);
    record.rateMs = Get<uint32_t>(m_bytes, offset);
    record.fahrenheit = Get<uint8_t>(m_bytes, offset) != 0;
    while (offset < end) {
        const int channel = Get<uint8_t>(m_bytes, offset);
        record.SetReading(channel, Get<int16_t>(m_bytes, offset));
    }
    return record;
}

CRecordQueue::TMessage CRecordQueue::Render(const TPublishRecord& record) const {
    return {m_recordTopic, RecordPayload(record, LocalUtcOffsetSeconds(record.timeMs))};
}

void CRecordQueue::Push(const TPublishRecord& record, std::string& error) {
    error.clear();
    if (!m_spill.IsOpen() && m_sizes.size() < m_memoryBound) {
        Encode(record);
        return;
    }
    if (!SpillMemory(&record, error))
        Encode(record);
}

// Moves the records in memory, then also, to the end of the spill file; on failure nothing moves.
bool CRecordQueue::SpillMemory(const TPublishRecord* also, std::string& error) {
    std::vector<CSpillFile::TLine> lines;
    lines.reserve(m_sizes.size() + 1);
    for (size_t i = 0; i < m_sizes.size(); ++i) {
        TMessage message = Render(Decode(i));
        lines.push_back({std::move(message.topic), std::move(message.payload), 0});
    }
    if (also != nullptr) {
        TMessage message = Render(*also);
        lines.push_back({std::move(message.topic), std::move(message.payload), 0});
    }
    if (lines.empty())
        return true;
    if (!m_spill.Append(lines, error))
        return false;
    m_sizes.clear();
    m_bytes.clear();
    m_bytes.shrink_to_fit();
    return true;
}

uint64_t CRecordQueue::Count() const {
    return m_ahead.size() + m_spill.UnreadLines() + m_sizes.size();
}

// Lines without a topic (damaged) are delivered with the line before them.
void CRecordQueue::ReadAhead(size_t upTo) {
    while (m_ahead.size() < upTo && m_spill.UnreadLines() > 0) {
        for (CSpillFile::TLine& line : m_spill.ReadLines(kReadAheadLines)) {
            if (!line.topic.empty())
                m_ahead.push_back({{std::move(line.topic), std::move(line.payload)}, line.bytes});
            else if (!m_ahead.empty())
                m_ahead.back().bytes += line.bytes;
            else
                m_spill.Consume(line.bytes);
        }
    }
}

CRecordQueue::TMessage CRecordQueue::Peek(size_t i) {
    ReadAhead(i + 1);
    if (i < m_ahead.size())
        return m_ahead[i].message;
    return Render(Decode(i - m_ahead.size()));
}

void CRecordQueue::PopFront() {
    ReadAhead(1);
    if (!m_ahead.empty()) {
        m_spill.Consume(m_ahead.front().bytes);
        m_ahead.pop_front();
        if (m_ahead.empty())
            m_spill.SaveProgress();
        return;
    }
    if (m_sizes.empty())
        return;
    m_bytes.erase(m_bytes.begin(), m_bytes.begin() + m_sizes.front());
    m_sizes.pop_front();
}

bool CRecordQueue::Persist(std::string& error) {
    if (!SpillMemory(nullptr, error))
        return false;
    if (m_spill.SaveProgress())
        return true;
    error = "cannot write the spill file \"" + m_spill.Path() + "\"";
    return false;
}
