#include "files/CodeTables.h"

#include <strings.h>

#include <cstdio>

#include "data/SamplingRate.h"

namespace VEK {
namespace {

constexpr const char* kRateNames[] = {"100msec", "200msec", "500msec", "1sec", "2sec", "5sec",
                                      "10sec",   "20sec",   "30sec",   "1min", "2min", "5min",
                                      "10min",   "20min",   "30min",   "1hour"};
constexpr int kRateCount = sizeof kRateNames / sizeof kRateNames[0];

bool ValidRate(int code) {
    return code >= 1 && code <= kRateCount;
}

}  // namespace

std::string SamplingRateName(int code) {
    return ValidRate(code) ? kRateNames[code - 1] : "";
}

int SamplingRateCode(const std::string& name) {
    for (int code = 1; code <= kRateCount; ++code) {
        if (strcasecmp(name.c_str(), kRateNames[code - 1]) == 0)
            return code;
    }
    return 0;
}

uint32_t SamplingRateMilliseconds(int code) {
    return ValidRate(code) ? SamplingPeriodMilliseconds(static_cast<uint32_t>(code)) : 0;
}

std::string ThermocoupleTypeName(int32_t code) {
    switch (code) {
        case 1:
            return "K";
        case 2:
            return "T";
        case 3:
            return "J";
    }
    char text[32];
    std::snprintf(text, sizeof text, "unknown(0x%02X)", static_cast<unsigned>(code));
    return text;
}

int32_t ThermocoupleTypeFromText(const std::string& text) {
    if (text.empty())
        return 1;
    switch (text[0]) {
        case 'T':
            return 2;
        case 'J':
            return 3;
        default:
            return 1;
    }
}

std::string TemperatureUnitName(uint32_t unit) {
    switch (unit) {
        case 0:
            return "deg C";
        case 1:
            return "deg F";
    }
    return "*";
}

}  // namespace VEK
