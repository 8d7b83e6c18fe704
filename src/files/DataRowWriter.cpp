#include "files/DataRowWriter.h"

#include <array>
#include <charconv>
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

void AppendDigits(std::string& out, int value, int width) {
    char digits[8];
    for (int i = width - 1; i >= 0; --i, value /= 10) digits[i] = static_cast<char>('0' + value % 10);
    out.append(digits, static_cast<size_t>(width));
}

void AppendNumber(std::string& out, int64_t value) {
    char text[24];
    const auto result = std::to_chars(text, text + sizeof text, value);
    out.append(text, result.ptr);
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

void CDataRowWriter::AppendRow(std::string& out, uint32_t record, uint32_t numberBase, size_t slot) {
    AppendNumber(out, int64_t{record} - numberBase + 1);
    const TLocalTime t = LocalTimeAt(m_baseMs + int64_t{record} * m_periodMs);
    out += ',';
    AppendDigits(out, t.year, 4);
    out += '/';
    AppendDigits(out, t.month, 2);
    out += '/';
    AppendDigits(out, t.day, 2);
    out += ' ';
    AppendDigits(out, t.hour, 2);
    out += ':';
    AppendDigits(out, t.minute, 2);
    out += ':';
    AppendDigits(out, t.second, 2);
    out += ',';
    AppendNumber(out, t.millisecond);
    const auto& texts = ReadingTexts();
    for (uint32_t k = 1; k <= m_channelCount; ++k) {
        out += ',';
        if (m_inUse[k]) {
            const TReadingText& text =
                texts[static_cast<uint16_t>(m_readings[(k - 1) * kBlockRecords + slot])];
            out.append(text.text, text.size);
        }
    }
    out += "\r\n";
}

void CDataRowWriter::WriteRows(IWriter& writer, uint32_t from, uint32_t to, uint32_t numberBase) {
    std::string out;
    out.reserve(kFlushBytes + 16 * 1024);
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
            AppendRow(out, block + slot, numberBase, slot);
            if (out.size() >= kFlushBytes) {
                writer.Write(out.data(), out.size());
                out.clear();
            }
        }
        block += count;
    }
    if (!out.empty())
        writer.Write(out.data(), out.size());
}

}  // namespace VEK
