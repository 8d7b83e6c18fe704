#include "files/CodeTables.h"

#include <strings.h>

#include <cstdio>

namespace VEK {
namespace {

struct TRate {
    const char* name;
    uint32_t milliseconds;
};
constexpr TRate kRates[] = {
    {"100msec", 100},  {"200msec", 200},   {"500msec", 500},   {"1sec", 1000},
    {"2sec", 2000},    {"5sec", 5000},     {"10sec", 10000},   {"20sec", 20000},
    {"30sec", 30000},  {"1min", 60000},    {"2min", 120000},   {"5min", 300000},
    {"10min", 600000}, {"20min", 1200000}, {"30min", 1800000}, {"1hour", 3600000},
};
constexpr int kRateCount = sizeof kRates / sizeof kRates[0];

bool ValidRate(int code) {
    return code >= 1 && code <= kRateCount;
}

}  // namespace

std::string SamplingRateName(int code) {
    return ValidRate(code) ? kRates[code - 1].name : "";
}

int SamplingRateCode(const std::string& name) {
    for (int code = 1; code <= kRateCount; ++code) {
        if (strcasecmp(name.c_str(), kRates[code - 1].name) == 0)
            return code;
    }
    return 0;
}

uint32_t SamplingRateMilliseconds(int code) {
    return ValidRate(code) ? kRates[code - 1].milliseconds : 0;
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
