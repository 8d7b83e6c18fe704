#include "publish/RecordQueue.h"

#include <chrono>
#include <cstring>

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

int64_t NowMs() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
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

// Only for the first few records in memory (the send window); a pass over all of them keeps its
// own running offset.
size_t CRecordQueue::OffsetOf(size_t i) const {
    size_t offset = 0;
    for (size_t k = 0; k < i; ++k) offset += m_sizes[k];
    return offset;
}

TPublishRecord CRecordQueue::Decode(size_t& offset, size_t size) const {
    const size_t end = offset + size;
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
    // After a failure (a full disk) the records wait in memory for a while instead of each one
    // writing all of them out again.
    if (NowMs() >= m_spillRetryAtMs) {
        if (SpillMemory(&record, error)) {
            m_spillError.clear();
            CapSpillFile();
            return;
        }
        m_spillError = error;
        m_spillRetryAtMs = NowMs() + kSpillRetryMs;
    }
    error = m_spillError;
    Encode(record);
    CapMemory();
}

// Moves the records in memory, then also, to the end of the spill file, rendering one at a time;
// on failure nothing moves.
bool CRecordQueue::SpillMemory(const TPublishRecord* also, std::string& error) {
    if (m_sizes.empty() && also == nullptr)
        return true;
    size_t next = 0;
    size_t offset = 0;
    bool alsoDone = also == nullptr;
    const auto source = [&](std::string& block) {
        TPublishRecord record;
        if (next < m_sizes.size()) {
            record = Decode(offset, m_sizes[next++]);
        } else if (!alsoDone) {
            record = *also;
            alsoDone = true;
        } else {
            return false;
        }
        const TMessage message = Render(record);
        block += CSpillFile::FormatLine(message.topic, message.payload);
        return true;
    };
    if (!m_spill.Append(source, error))
        return false;
    m_sizes.clear();
    m_bytes.clear();
    m_bytes.shrink_to_fit();
    return true;
}

void CRecordQueue::CapSpillFile() {
    if (m_spill.PendingBytes() <= m_spillLimit)
        return;
    // Down to three quarters, so that the cap is not met again with the next record.
    uint64_t dropped = m_ahead.size();
    for (const TAhead& ahead : m_ahead) m_spill.Consume(ahead.bytes);
    m_ahead.clear();
    dropped += m_spill.DropOldest(m_spillLimit / 4 * 3);
    NoteDrop("the spill file reached " + std::to_string(m_spillLimit) + " bytes", dropped, true);
}

void CRecordQueue::CapMemory() {
    if (m_bytes.size() <= m_memoryLimit)
        return;
    uint64_t dropped = 0;
    size_t bytes = 0;
    while (!m_sizes.empty() && m_bytes.size() - bytes > m_memoryLimit / 4 * 3) {
        bytes += m_sizes.front();
        m_sizes.pop_front();
        ++dropped;
    }
    m_bytes.erase(m_bytes.begin(), m_bytes.begin() + static_cast<std::ptrdiff_t>(bytes));
    NoteDrop("the records waiting in memory reached " + std::to_string(m_memoryLimit) + " bytes", dropped,
             true);
}

void CRecordQueue::NoteDrop(const std::string& reason, uint64_t count, bool frontMoved) {
    if (count == 0)
        return;
    m_frontMoved = m_frontMoved || frontMoved;
    if (!m_drops.empty() && m_drops.back().first == reason)
        m_drops.back().second += count;
    else
        m_drops.emplace_back(reason, count);
}

CRecordQueue::TDrops CRecordQueue::TakeDrops() {
    TDrops drops;
    drops.swap(m_drops);
    return drops;
}

bool CRecordQueue::TakeFrontMoved() {
    const bool moved = m_frontMoved;
    m_frontMoved = false;
    return moved;
}

uint64_t CRecordQueue::Count() const {
    return m_ahead.size() + m_spill.UnreadLines() + m_sizes.size();
}

// Only this publisher's records go out: a line of another topic, or whose payload is not a record
// as this program writes it, is dropped (its bytes are delivered with the line before it).
void CRecordQueue::ReadAhead(size_t upTo) {
    while (m_ahead.size() < upTo && m_spill.UnreadLines() > 0) {
        uint64_t refused = 0;
        for (CSpillFile::TLine& line : m_spill.ReadLines(kReadAheadLines)) {
            TPublishRecord record;
            if (line.topic == m_recordTopic && ParseRecordPayload(line.payload, record)) {
                m_ahead.push_back({{std::move(line.topic), std::move(line.payload)}, line.bytes});
                continue;
            }
            ++refused;
            if (!m_ahead.empty())
                m_ahead.back().bytes += line.bytes;
            else
                m_spill.Consume(line.bytes);
        }
        // Those lines never had a position: the records handed out keep theirs.
        NoteDrop("lines of the spill file that are not records of " + m_recordTopic, refused, false);
    }
}

bool CRecordQueue::Has(size_t i) {
    ReadAhead(i + 1);
    return i < Count();
}

CRecordQueue::TMessage CRecordQueue::Peek(size_t i) {
    ReadAhead(i + 1);
    if (i < m_ahead.size())
        return m_ahead[i].message;
    const size_t index = i - m_ahead.size();
    size_t offset = OffsetOf(index);
    return Render(Decode(offset, m_sizes[index]));
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
    CapSpillFile();
    if (m_spill.SaveProgress())
        return true;
    error = "cannot write the spill file \"" + m_spill.Path() + "\"";
    return false;
}
