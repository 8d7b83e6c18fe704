#include "files/DataRowWriter.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstring>
#include <ctime>

#include "data/SamplingRate.h"

namespace VEK {
namespace {

constexpr uint32_t kBlockRecords = 1024;
constexpr size_t kFlushBytes = 1 << 18;

// The plain text of every possible reading, built once with FormatReading.
struct TReadingText {
    char text[15];
    uint8_t size;
};
const std::array<TReadingText, 65536>& ReadingTexts() {
    static const auto* table = [] {
        auto* texts = new std::array<TReadingText, 65536>();
        for (int v = -32768; v <= 32767; ++v) {
            const std::string text = FormatReading(static_cast<int16_t>(v), false);
            TReadingText& entry = (*texts)[static_cast<uint16_t>(v)];
            text.copy(entry.text, sizeof entry.text);
            entry.size = static_cast<uint8_t>(text.size());
        }
        return texts;
    }();
    return *table;
}

char* PutDigits(char* out, int value, int width) {
    for (int i = width - 1; i >= 0; --i, value /= 10) out[i] = static_cast<char>('0' + value % 10);
    return out + width;
}

char* PutNumber(char* out, int64_t value) {
    return std::to_chars(out, out + 24, value).ptr;
}

}  // namespace

CDataRowWriter::CDataRowWriter(const CMeasurementDataManager& store, uint32_t channelCount)
    : m_store(store),
      m_channelCount(channelCount),
      m_periodMs(SamplingPeriodMilliseconds(store.SamplingRateCode())),
      m_inUse(channelCount + 1, false),
      m_readings(size_t{channelCount} * kBlockRecords) {
    CSystemTime base = store.StartTime();
    base.millisecond = 0;
    m_baseMs = base.ToEpochMilliseconds();
    for (uint32_t k = 1; k <= channelCount; ++k) m_inUse[k] = store.Channel(static_cast<int>(k)).InUse();
}

CDataRowWriter::TLocalTime CDataRowWriter::LocalTimeAt(int64_t epochMs) {
    int64_t second = epochMs / 1000;
    int millisecond = static_cast<int>(epochMs % 1000);
    if (millisecond < 0) {
        millisecond += 1000;
        --second;
    }
    // Zone offsets change on whole minutes, so the cached time holds until its minute ends.
    if (!m_cacheValid || second < m_cachedSecond || second - m_cachedSecond + m_cached.second >= 60) {
        const auto t = static_cast<time_t>(second);
        std::tm tm{};
        localtime_r(&t, &tm);
        m_cached = {tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec, 0};
        m_cachedSecond = second;
        m_cacheValid = true;
    }
    TLocalTime local = m_cached;
    local.second += static_cast<int>(second - m_cachedSecond);
    local.millisecond = millisecond;
    return local;
}

size_t CDataRowWriter::LongestRow(uint32_t channelCount) {
    return 64 + size_t{channelCount} * (1 + sizeof("Out Of Range"));
}

char* CDataRowWriter::PutRow(char* out, uint32_t record, uint32_t numberBase, size_t slot) {
    out = PutNumber(out, int64_t{record} - numberBase + 1);
    const TLocalTime t = LocalTimeAt(m_baseMs + int64_t{record} * m_periodMs);
    *out++ = ',';
    out = PutDigits(out, t.year, 4);
    *out++ = '/';
    out = PutDigits(out, t.month, 2);
    *out++ = '/';
    out = PutDigits(out, t.day, 2);
    *out++ = ' ';
    out = PutDigits(out, t.hour, 2);
    *out++ = ':';
    out = PutDigits(out, t.minute, 2);
    *out++ = ':';
    out = PutDigits(out, t.second, 2);
    *out++ = ',';
    out = PutNumber(out, t.millisecond);
    const auto& texts = ReadingTexts();
    for (uint32_t k = 1; k <= m_channelCount; ++k) {
        *out++ = ',';
        if (m_inUse[k]) {
            const TReadingText& text =
                texts[static_cast<uint16_t>(m_readings[(k - 1) * kBlockRecords + slot])];
            std::memcpy(out, text.text, sizeof text.text);  // the whole slot; only size bytes count
            out += text.size;
        }
    }
    *out++ = '\r';
    *out++ = '\n';
    return out;
}

bool CDataRowWriter::WriteRows(IWriter& writer, uint32_t from, uint32_t to, uint32_t numberBase,
                               const FileProgress& progress) {
    // No more than the rows need (a working file gets a few rows a second), plus room for the
    // longest row and the spare bytes a whole reading slot may copy beyond it.
    const size_t longest = LongestRow(m_channelCount);
    const size_t flushBytes =
        static_cast<size_t>(std::min<uint64_t>(kFlushBytes, uint64_t{to - from} * longest));
    std::vector<char> buffer(flushBytes + longest + sizeof(TReadingText::text));
    char* const begin = buffer.data();
    char* out = begin;
    for (uint32_t block = from; block < to;) {
        const uint32_t count = std::min(kBlockRecords, to - block);
        for (uint32_t k = 1; k <= m_channelCount; ++k) {
            if (!m_inUse[k])
                continue;
            int16_t* readings = &m_readings[(k - 1) * kBlockRecords];
            const size_t copied = m_store.Channel(static_cast<int>(k)).CopyReadings(block, count, readings);
            std::fill(readings + copied, readings + count, kReadingLost);
        }
        for (uint32_t slot = 0; slot < count; ++slot) {
            out = PutRow(out, block + slot, numberBase, slot);
            if (static_cast<size_t>(out - begin) >= flushBytes) {
                writer.Write(begin, static_cast<size_t>(out - begin));
                out = begin;
            }
        }
        block += count;
        if (progress && !progress(block - from, to - from))
            return false;
    }
    if (out != begin)
        writer.Write(begin, static_cast<size_t>(out - begin));
    return true;
}

}  // namespace VEK
