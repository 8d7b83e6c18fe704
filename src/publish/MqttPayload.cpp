#include "publish/MqttPayload.h"

#include <cstdio>
#include <ctime>
#include <limits>
#include <string_view>

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

// Days since 1970-01-01 of a date of the proleptic Gregorian calendar.
int64_t DaysFromCivil(int64_t year, int64_t month, int64_t day) {
    year -= month <= 2 ? 1 : 0;
    const int64_t era = (year >= 0 ? year : year - 399) / 400;
    const int64_t yearOfEra = year - era * 400;
    const int64_t dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - 719468;
}

// Reads the pieces of a record payload in the order RecordPayload writes them; the caller checks
// the result by writing it again.
class CPayloadScanner {
public:
    explicit CPayloadScanner(const std::string& text) : m_text(text) {}

    bool Literal(const char* literal) {
        const std::string_view expected(literal);
        if (m_text.compare(m_pos, expected.size(), expected) != 0)
            return false;
        m_pos += expected.size();
        return true;
    }
    bool Integer(int64_t& value) {
        const bool negative = Literal("-");
        size_t digits = 0;
        value = 0;
        for (; m_pos < m_text.size() && m_text[m_pos] >= '0' && m_text[m_pos] <= '9' && digits < 12; ++digits)
            value = value * 10 + (m_text[m_pos++] - '0');
        value = negative ? -value : value;
        return digits > 0;
    }
    bool String(std::string& value) {
        if (!Literal("\""))
            return false;
        const size_t end = m_text.find('"', m_pos);
        if (end == std::string::npos)
            return false;
        value = m_text.substr(m_pos, end - m_pos);
        m_pos = end + 1;
        return true;
    }
    // "12" (a channel number as a key) followed by a colon.
    bool Channel(int& channel) {
        std::string key;
        int64_t number = 0;
        if (!String(key) || !Literal(":") || !CPayloadScanner(key).WholeInteger(number) || number < 1 ||
            number > TPublishRecord::kChannels)
            return false;
        channel = static_cast<int>(number);
        return true;
    }
    bool WholeInteger(int64_t& value) { return Integer(value) && AtEnd(); }
    // "-12.3" into tenths.
    bool Reading(int16_t& tenths) {
        int64_t whole = 0;
        const bool negative = m_pos < m_text.size() && m_text[m_pos] == '-';
        if (!Integer(whole) || !Literal(".") || m_pos >= m_text.size() || m_text[m_pos] < '0' ||
            m_text[m_pos] > '9')
            return false;
        const int64_t magnitude = (negative ? -whole : whole) * 10 + (m_text[m_pos++] - '0');
        if (magnitude > std::numeric_limits<int16_t>::max())
            return false;
        tenths = static_cast<int16_t>(negative ? -magnitude : magnitude);
        return true;
    }
    bool AtEnd() const { return m_pos == m_text.size(); }

private:
    const std::string& m_text;
    size_t m_pos = 0;
};

// "YYYY-MM-DDThh:mm:ss.mmm+hh:mm" into milliseconds since the epoch and the offset from UTC.
bool ParseRecordTime(const std::string& text, int64_t& timeMs, int32_t& utcOffsetSeconds) {
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0, millisecond = 0, offsetHours = 0,
        offsetMinutes = 0;
    char sign = 0;
    int length = 0;
    if (std::sscanf(text.c_str(), "%4d-%2d-%2dT%2d:%2d:%2d.%3d%c%2d:%2d%n", &year, &month, &day, &hour,
                    &minute, &second, &millisecond, &sign, &offsetHours, &offsetMinutes, &length) != 10 ||
        static_cast<size_t>(length) != text.size() || (sign != '+' && sign != '-') || month < 1 || month > 12)
        return false;
    utcOffsetSeconds = (sign == '-' ? -1 : 1) * (offsetHours * 3600 + offsetMinutes * 60);
    const int64_t localSeconds = DaysFromCivil(year, month, day) * 86400 + hour * 3600 + minute * 60 + second;
    timeMs = (localSeconds - utcOffsetSeconds) * 1000 + millisecond;
    return true;
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

bool ParseRecordPayload(const std::string& text, TPublishRecord& record) {
    CPayloadScanner scan(text);
    TPublishRecord parsed;
    int64_t number = 0, rate = 0;
    std::string time, unit;
    int32_t utcOffset = 0;
    if (!scan.Literal("{\"record\":") || !scan.Integer(number) || number < 0 || number > UINT32_MAX ||
        !scan.Literal(",\"time\":") || !scan.String(time) ||
        !ParseRecordTime(time, parsed.timeMs, utcOffset) || !scan.Literal(",\"rate_ms\":") ||
        !scan.Integer(rate) || rate < 0 || rate > UINT32_MAX || !scan.Literal(",\"unit\":") ||
        !scan.String(unit) || !scan.Literal(",\"channels\":{"))
        return false;
    parsed.number = static_cast<uint32_t>(number);
    parsed.rateMs = static_cast<uint32_t>(rate);
    parsed.fahrenheit = unit == "F";
    for (bool more = !scan.Literal("}"); more; more = scan.Literal(",")) {
        int channel = 0;
        int16_t tenths = kReadingLost;
        if (!scan.Channel(channel) || (!scan.Literal("null") && !scan.Reading(tenths)))
            return false;
        parsed.SetReading(channel, tenths);
        if (scan.Literal("}"))
            break;
    }
    if (scan.Literal(",\"status\":{")) {
        for (bool more = true; more; more = scan.Literal(",")) {
            int channel = 0;
            std::string status;
            if (!scan.Channel(channel) || !scan.String(status))
                return false;
            parsed.SetReading(channel, status == "Out Of Range" ? kReadingOutOfRange : kReadingLost);
            if (scan.Literal("}"))
                break;
        }
    }
    // Whatever was read: only a payload this program writes, byte for byte, is one.
    if (!scan.Literal("}") || !scan.AtEnd() || RecordPayload(parsed, utcOffset) != text)
        return false;
    record = parsed;
    return true;
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
