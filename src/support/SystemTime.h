#pragma once
#include <cstdint>
#include <ctime>
#include <string>
#include <string_view>

namespace VEK {

// A local date and time with milliseconds. All fields zero is the invalid time.
class CSystemTime {
public:
    static constexpr const char* kDefaultFormat = "%Y-%m-%d %H:%M:%S";

    uint16_t year = 0;
    uint16_t month = 0;
    uint16_t dayOfWeek = 0;
    uint16_t day = 0;
    uint16_t hour = 0;
    uint16_t minute = 0;
    uint16_t second = 0;
    uint16_t millisecond = 0;

    static CSystemTime Now();
    // Local time of a point given in milliseconds since the epoch.
    static CSystemTime FromEpochMilliseconds(int64_t ms);

    bool IsValid() const;
    // Milliseconds since the epoch, interpreting the fields as local time (DST resolved by the C library).
    int64_t ToEpochMilliseconds() const;
    CSystemTime AddMilliseconds(int64_t ms) const;
    // Negative, zero or positive like strcmp; compares the fields, not the week day.
    int Compare(const CSystemTime& other) const;
    bool operator==(const CSystemTime& other) const { return Compare(other) == 0; }

    // strftime-style; "%f" adds the three millisecond digits. An invalid time formats as empty.
    std::string Format(const char* pattern = kDefaultFormat) const;
    // Reads "YYYY/MM/DD hh:mm:ss[.mmm]" or "YYYY-MM-DD hh:mm:ss[.mmm]"; false leaves the time unchanged.
    bool Parse(std::string_view text);

private:
    std::tm ToTm() const;
};

}  // namespace VEK
