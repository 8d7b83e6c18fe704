#include "files/DataFileText.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <limits>

#include "data/Reading.h"
#include "files/DataFileView.h"
#include "support/NumberText.h"

namespace VEK {
namespace {

uint64_t NonNegative(std::string_view text) {
    return static_cast<uint64_t>(std::max<int64_t>(0, ParseLeadingDecimal(text)));
}

// a * factor + b, saturating at the 64-bit limit.
uint64_t Scale(uint64_t a, uint64_t factor, uint64_t b) {
    constexpr uint64_t kMax = std::numeric_limits<uint64_t>::max();
    if (a > (kMax - b) / factor)
        return kMax;
    return a * factor + b;
}

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

// The form every writer produces: optional "-", up to four digits, optional "." and one digit.
std::optional<int16_t> ParsePlainTenths(std::string_view field) {
    size_t pos = field[0] == '-' ? 1 : 0;
    const bool negative = pos == 1;
    int value = 0;
    size_t digits = 0;
    for (; pos < field.size() && field[pos] >= '0' && field[pos] <= '9' && digits < 4; ++pos, ++digits)
        value = value * 10 + (field[pos] - '0');
    if (digits == 0)
        return std::nullopt;
    value *= 10;
    if (pos + 2 == field.size() && field[pos] == '.' && field[pos + 1] >= '0' && field[pos + 1] <= '9') {
        value += field[pos + 1] - '0';
    } else if (pos != field.size()) {
        return std::nullopt;
    }
    value = negative ? -value : value;
    if (value < -2000 || value > 13000)
        return kReadingOutOfRange;
    return static_cast<int16_t>(value);
}

// Leading blanks, an optional sign, then the longest decimal number with optional fraction and
// exponent; nothing readable gives 0.
double ParseLeadingDouble(std::string_view field) {
    size_t pos = 0;
    while (pos < field.size() && IsBlank(field[pos])) ++pos;
    bool negative = false;
    if (pos < field.size() && (field[pos] == '+' || field[pos] == '-'))
        negative = field[pos++] == '-';
    if (pos >= field.size() || field[pos] == '+' || field[pos] == '-')
        return 0.0;
    double value = 0.0;
    const std::errc error = std::from_chars(field.data() + pos, field.data() + field.size(), value).ec;
    if (error == std::errc::result_out_of_range)
        value = std::numeric_limits<double>::infinity();
    else if (error != std::errc())
        value = 0.0;
    return negative ? -value : value;
}

}  // namespace

std::string FormatTimeOffset(uint64_t milliseconds) {
    char text[64];
    std::snprintf(
        text, sizeof text, "%02llu:%02u:%02u,%02u", static_cast<unsigned long long>(milliseconds / 3600000),
        static_cast<unsigned>(milliseconds / 60000 % 60), static_cast<unsigned>(milliseconds / 1000 % 60),
        static_cast<unsigned>(milliseconds % 1000));
    return text;
}

uint64_t ParseTimeOffset(std::string_view hoursMinutesSeconds, std::string_view milliseconds) {
    uint64_t parts[3] = {0, 0, 0};
    for (uint64_t& part : parts) {
        const size_t colon = hoursMinutesSeconds.find(':');
        part = NonNegative(hoursMinutesSeconds.substr(0, colon));
        if (colon == std::string_view::npos)
            break;
        hoursMinutesSeconds.remove_prefix(colon + 1);
    }
    const uint64_t seconds = Scale(Scale(parts[0], 60, parts[1]), 60, parts[2]);
    return Scale(seconds, 1000, NonNegative(milliseconds));
}

CSystemTime ParseFileTime(std::string_view text) {
    std::string digits;
    for (char c : text) {
        if (c != '-' && c != ':' && c != '/' && c != '.' && c != '\'' && c != ' ')
            digits += c;
    }
    digits += "000000000000000000";
    std::string_view rest = digits;
    auto take = [&rest](size_t count) {
        const auto value =
            static_cast<uint16_t>(std::clamp<int64_t>(ParseLeadingDecimal(rest.substr(0, count)), 0, 65535));
        rest.remove_prefix(count);
        return value;
    };
    CSystemTime time;
    time.year = take(4);
    time.month = take(2);
    time.day = take(2);
    time.hour = take(2);
    time.minute = take(2);
    time.second = take(2);
    time.millisecond = take(3);
    return time;
}

std::optional<int16_t> ParseReadingField(std::string_view field) {
    if (field.empty() || field[0] == 'L')
        return std::nullopt;
    if (field[0] == 'O')
        return kReadingOutOfRange;
    if (const auto plain = ParsePlainTenths(field))
        return plain;
    return TemperatureToTenths(ParseLeadingDouble(field));
}

uint32_t FirstVisibleRecord(uint64_t timeOffsetMs, uint32_t periodMs, uint32_t samplesPerScreen) {
    if (periodMs == 0)
        return 0;
    uint64_t record = timeOffsetMs / periodMs;
    const uint64_t division = samplesPerScreen / 10;
    if (record >= 5 * division)
        record -= 5 * division;
    if (division != 0)
        record = (record + division - 1) / division * division;
    return static_cast<uint32_t>(std::min<uint64_t>(record, std::numeric_limits<uint32_t>::max()));
}

}  // namespace VEK
