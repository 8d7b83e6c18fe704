#include "publish/MqttPayload.h"

#include <cstdio>
#include <ctime>

namespace {

// Milliseconds and seconds with the remainder never negative, also before the epoch.
void SplitMilliseconds(int64_t ms, int64_t& seconds, int& millisecond) {
    seconds = ms / 1000;
    millisecond = static_cast<int>(ms % 1000);
    if (millisecond < 0) {
        millisecond += 1000;
        --seconds;
    }
}

void AppendNumber(std::string& out, int64_t value) {
    out += std::to_string(value);
}

void AppendHead(std::string& out, const TPublishRecord& record, int32_t utcOffsetSeconds) {
    out += "{\"record\":";
    AppendNumber(out, record.number);
    out += ",\"time\":\"";
    out += FormatRecordTime(record.timeMs, utcOffsetSeconds);
    out += '"';
}

void AppendUnit(std::string& out, const TPublishRecord& record) {
    out += record.fahrenheit ? ",\"unit\":\"F\"" : ",\"unit\":\"C\"";
}

// A valid reading as its number, a marker as null.
void AppendValue(std::string& out, int16_t tenths) {
    out += IsValidReading(tenths) ? FormatReading(tenths, false) : "null";
}

}  // namespace

std::string FormatRecordTime(int64_t timeMs, int32_t utcOffsetSeconds) {
    int64_t seconds = 0;
    int millisecond = 0;
    SplitMilliseconds(timeMs, seconds, millisecond);
    const auto local = static_cast<time_t>(seconds + utcOffsetSeconds);
    std::tm tm{};
    gmtime_r(&local, &tm);
    const int offsetMinutes = (utcOffsetSeconds < 0 ? -utcOffsetSeconds : utcOffsetSeconds) / 60;
    char text[64];
    std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d.%03d%c%02d:%02d", tm.tm_year + 1900,
                  tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec, millisecond,
                  utcOffsetSeconds < 0 ? '-' : '+', offsetMinutes / 60, offsetMinutes % 60);
    return text;
}

int32_t LocalUtcOffsetSeconds(int64_t timeMs) {
    int64_t seconds = 0;
    int millisecond = 0;
    SplitMilliseconds(timeMs, seconds, millisecond);
    const auto t = static_cast<time_t>(seconds);
    std::tm tm{};
    localtime_r(&t, &tm);
    return static_cast<int32_t>(tm.tm_gmtoff);
}

std::string RecordPayload(const TPublishRecord& record, int32_t utcOffsetSeconds) {
    std::string out;
    out.reserve(96 + record.inUse.count() * 12);
    AppendHead(out, record, utcOffsetSeconds);
    out += ",\"rate_ms\":";
    AppendNumber(out, record.rateMs);
    AppendUnit(out, record);
    out += ",\"channels\":{";
    bool first = true;
    bool anyInvalid = false;
    for (int k = 1; k <= TPublishRecord::kChannels; ++k) {
        if (!record.inUse[static_cast<size_t>(k)])
            continue;
        const int16_t tenths = record.readings[static_cast<size_t>(k)];
        anyInvalid = anyInvalid || !IsValidReading(tenths);
        out += first ? "\"" : ",\"";
        first = false;
        AppendNumber(out, k);
        out += "\":";
        AppendValue(out, tenths);
    }
    out += '}';
    if (anyInvalid) {
        out += ",\"status\":{";
        first = true;
        for (int k = 1; k <= TPublishRecord::kChannels; ++k) {
            const int16_t tenths = record.readings[static_cast<size_t>(k)];
            if (!record.inUse[static_cast<size_t>(k)] || IsValidReading(tenths))
                continue;
            out += first ? "\"" : ",\"";
            first = false;
            AppendNumber(out, k);
            out += "\":\"" + FormatReading(tenths, false) + "\"";
        }
        out += '}';
    }
    out += '}';
    return out;
}

std::string ChannelPayload(const TPublishRecord& record, int channel, int32_t utcOffsetSeconds) {
    const int16_t tenths = record.readings[static_cast<size_t>(channel)];
    std::string out;
    AppendHead(out, record, utcOffsetSeconds);
    AppendUnit(out, record);
    out += ",\"value\":";
    AppendValue(out, tenths);
    if (!IsValidReading(tenths))
        out += ",\"status\":\"" + FormatReading(tenths, false) + "\"";
    out += '}';
    return out;
}

const char* RunStateText(ERunState state) {
    switch (state) {
        case ERunState::kIdle:
            return "idle";
        case ERunState::kMeasuring:
            return "measuring";
        case ERunState::kFinished:
            return "finished";
        case ERunState::kDeviceError:
            return "device error";
    }
    return "idle";
}
