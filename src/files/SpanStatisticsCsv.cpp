#include "files/SpanStatisticsCsv.h"

#include "files/AtomicFileWriter.h"
#include "support/NumberText.h"
#include "support/VekException.h"

namespace VEK {

namespace {

std::string Hundredths(std::optional<int64_t> value) {
    return value ? FormatScaled(*value, 2) : std::string();
}

std::string Reading(int16_t tenths) {
    return IsValidReading(tenths) ? FormatScaled(tenths, 1) : std::string();
}

std::string Field(const std::string& text) {
    if (text.find_first_of(",\"\r\n") == std::string::npos)
        return text;
    std::string quoted = "\"";
    for (char c : text) quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
    return quoted + "\"";
}

}  // namespace

std::string SpanStatisticsCsv(const TSpanStatistics& span) {
    std::string text = std::string(kSpanStatisticsHeader) + "\r\n";
    for (const TChannelStatistics& channel : span.channels) {
        const bool extremes = !channel.extremes.Empty();
        const std::optional<int32_t> delta = channel.DeltaTenths();
        const std::string fields[] = {
            std::to_string(channel.channel),
            Field(channel.comment),
            Reading(channel.atA),
            Reading(channel.atB),
            delta ? FormatScaled(*delta, 1) : std::string(),
            extremes ? Reading(channel.extremes.min) : std::string(),
            extremes ? std::to_string(channel.minRecord) : std::string(),
            extremes ? Reading(channel.extremes.max) : std::string(),
            extremes ? std::to_string(channel.maxRecord) : std::string(),
            Hundredths(channel.MeanHundredths()),
            Hundredths(span.RatePerMinuteHundredths(channel)),
            std::to_string(channel.valid),
            std::to_string(channel.Missing()),
        };
        for (const std::string& field : fields) text += field + ",";
        text.back() = '\r';
        text += '\n';
    }
    return text;
}

bool SaveSpanStatisticsCsv(const std::string& path, const TSpanStatistics& span) {
    const std::string text = SpanStatisticsCsv(span);
    CAtomicFileWriter writer(path);
    if (!writer.Open())
        return false;
    try {
        writer.Write(text.data(), text.size());
    } catch (const CIoFailureException&) {
        return false;
    }
    return writer.Commit();
}

}  // namespace VEK
