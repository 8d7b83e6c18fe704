#include "support/SystemTime.h"

#include <chrono>
#include <cstdio>
#include <tuple>

namespace VEK {

CSystemTime CSystemTime::Now() {
    using namespace std::chrono;
    return FromEpochMilliseconds(duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count());
}

CSystemTime CSystemTime::FromEpochMilliseconds(int64_t ms) {
    int64_t seconds = ms / 1000;
    int64_t rest = ms % 1000;
    if (rest < 0) {
        rest += 1000;
        --seconds;
    }
    time_t t = static_cast<time_t>(seconds);
    std::tm tm{};
    localtime_r(&t, &tm);
    CSystemTime st;
    st.year = static_cast<uint16_t>(tm.tm_year + 1900);
    st.month = static_cast<uint16_t>(tm.tm_mon + 1);
    st.dayOfWeek = static_cast<uint16_t>(tm.tm_wday);
    st.day = static_cast<uint16_t>(tm.tm_mday);
    st.hour = static_cast<uint16_t>(tm.tm_hour);
    st.minute = static_cast<uint16_t>(tm.tm_min);
    st.second = static_cast<uint16_t>(tm.tm_sec);
    st.millisecond = static_cast<uint16_t>(rest);
    return st;
}

bool CSystemTime::IsValid() const {
    return year >= 1601 && month >= 1 && month <= 12 && day >= 1 && day <= 31 && hour < 24 && minute < 60 &&
           second < 61 && millisecond < 1000;
}

std::tm CSystemTime::ToTm() const {
    std::tm tm{};
    tm.tm_year = year - 1900;
    tm.tm_mon = month - 1;
    tm.tm_mday = day;
    tm.tm_hour = hour;
    tm.tm_min = minute;
    tm.tm_sec = second;
    tm.tm_wday = dayOfWeek;
    tm.tm_isdst = -1;
    return tm;
}

int64_t CSystemTime::ToEpochMilliseconds() const {
    std::tm tm = ToTm();
    return static_cast<int64_t>(mktime(&tm)) * 1000 + millisecond;
}

CSystemTime CSystemTime::AddMilliseconds(int64_t ms) const {
    return FromEpochMilliseconds(ToEpochMilliseconds() + ms);
}

int CSystemTime::Compare(const CSystemTime& other) const {
    auto key = [](const CSystemTime& t) {
        return std::tie(t.year, t.month, t.day, t.hour, t.minute, t.second, t.millisecond);
    };
    if (key(*this) < key(other))
        return -1;
    return key(other) < key(*this) ? 1 : 0;
}

std::string CSystemTime::Format(const char* pattern) const {
    if (!IsValid() || pattern == nullptr)
        return {};
    // Expand %f ourselves; strftime knows nothing of milliseconds.
    std::string expanded;
    for (const char* p = pattern; *p; ++p) {
        if (p[0] == '%' && p[1] == 'f') {
            char ms[8];
            std::snprintf(ms, sizeof ms, "%03u", static_cast<unsigned>(millisecond));
            expanded += ms;
            ++p;
        } else if (p[0] == '%' && p[1] == '%') {
            expanded += "%%";
            ++p;
        } else {
            expanded += *p;
        }
    }
    std::tm tm = ToTm();
    char buffer[512];
    size_t n = std::strftime(buffer, sizeof buffer, expanded.c_str(), &tm);
    return std::string(buffer, n);
}

bool CSystemTime::Parse(std::string_view text) {
    unsigned y, mo, d, h, mi, s, ms = 0;
    char sep1, sep2;
    std::string copy(text);
    int n = std::sscanf(copy.c_str(), "%u%c%u%c%u %u:%u:%u.%u", &y, &sep1, &mo, &sep2, &d, &h, &mi, &s, &ms);
    if (n < 8 || sep1 != sep2 || (sep1 != '/' && sep1 != '-'))
        return false;
    CSystemTime t;
    t.year = static_cast<uint16_t>(y);
    t.month = static_cast<uint16_t>(mo);
    t.day = static_cast<uint16_t>(d);
    t.hour = static_cast<uint16_t>(h);
    t.minute = static_cast<uint16_t>(mi);
    t.second = static_cast<uint16_t>(s);
    t.millisecond = static_cast<uint16_t>(ms);
    if (!t.IsValid() || y > 30827)
        return false;
    // Fill in the day of week through the C library.
    std::tm tm = t.ToTm();
    mktime(&tm);
    t.dayOfWeek = static_cast<uint16_t>(tm.tm_wday);
    *this = t;
    return true;
}

}  // namespace VEK
