#include "display/GraphScaleNames.h"

#include <strings.h>
#include <array>
#include <cinttypes>
#include <cstdio>

#include "files/CodeTables.h"
#include "support/NumberText.h"

namespace {

struct TTimeDiv {
    const char* name;
    uint32_t seconds;
};
constexpr std::array<TTimeDiv, kTimeDivCount> kTimeDivs{{{"1sec", 1},
                                                         {"2sec", 2},
                                                         {"5sec", 5},
                                                         {"10sec", 10},
                                                         {"20sec", 20},
                                                         {"30sec", 30},
                                                         {"1min", 60},
                                                         {"2min", 120},
                                                         {"5min", 300},
                                                         {"10min", 600},
                                                         {"20min", 1200},
                                                         {"30min", 1800},
                                                         {"1hour", 3600}}};
constexpr std::array<int32_t, kTempDivCount> kTempDivs{1, 2, 5, 10, 20, 50, 100, 200};

bool IsTimeDiv(int32_t index) {
    return index >= 1 && index <= kTimeDivCount;
}

}  // namespace

std::string TimeDivName(int32_t index) {
    return IsTimeDiv(index) ? kTimeDivs[index - 1].name : "";
}

uint32_t TimeDivSeconds(int32_t index) {
    return IsTimeDiv(index) ? kTimeDivs[index - 1].seconds : 0;
}

int32_t TimeDivIndex(const std::string& name) {
    for (int32_t index = 1; index <= kTimeDivCount; ++index) {
        if (strcasecmp(name.c_str(), kTimeDivs[index - 1].name) == 0)
            return index;
    }
    return 0;
}

int32_t TempDivValue(int32_t index) {
    return index >= 1 && index <= kTempDivCount ? kTempDivs[index - 1] : 0;
}

int32_t TempDivIndex(const std::string& text) {
    const int64_t value = VEK::ParseLeadingDecimal(text);
    for (int32_t index = 1; index <= kTempDivCount; ++index) {
        if (kTempDivs[index - 1] == value)
            return index;
    }
    return 0;
}

std::string TempDivName(int32_t index, uint32_t unit) {
    return std::to_string(TempDivValue(index)) + VEK::TemperatureUnitName(unit);
}

std::string FormatElapsed(uint64_t seconds) {
    char text[48];
    std::snprintf(text, sizeof text, "%02" PRIu64 ":%02" PRIu64 ":%02" PRIu64, seconds / 3600,
                  seconds / 60 % 60, seconds % 60);
    return text;
}

std::string FormatCursorTime(uint64_t milliseconds) {
    char text[64];
    std::snprintf(text, sizeof text, "%02" PRIu64 "h%02" PRIu64 "m%02" PRIu64 ".%" PRIu64 "sec",
                  milliseconds / 3600000, milliseconds / 60000 % 60, milliseconds / 1000 % 60,
                  milliseconds % 1000 / 100);
    return text;
}
