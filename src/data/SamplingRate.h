#pragma once
// The sampling rates, codes 1..16 ("100msec" .. "1hour"): the period that spaces the records, the
// records of one second that an uneven stop drops, and whether the settings may choose the rate.
#include <array>
#include <cstdint>

struct TSamplingRate {
    uint32_t code;
    const char* name;
    uint32_t periodMs;
    // Records in one second at the rates up to one second; 0 at the slower rates.
    uint32_t recordsPerSecond;
    // The settings' "sample-intvl" accepts the rate.
    bool settable;
};

inline constexpr std::array<TSamplingRate, 16> kSamplingRates{{
    {1, "100msec", 100, 10, true},
    {2, "200msec", 200, 5, true},
    {3, "500msec", 500, 2, true},
    {4, "1sec", 1000, 1, true},
    {5, "2sec", 2000, 0, true},
    {6, "5sec", 5000, 0, true},
    {7, "10sec", 10000, 0, true},
    {8, "20sec", 20000, 0, true},
    {9, "30sec", 30000, 0, true},
    {10, "1min", 60000, 0, true},
    {11, "2min", 120000, 0, true},
    {12, "5min", 300000, 0, true},
    {13, "10min", 600000, 0, true},
    {14, "20min", 1200000, 0, false},
    {15, "30min", 1800000, 0, false},
    {16, "1hour", 3600000, 0, false},
}};

// "1sec": the rate of settings that name none, or one they may not choose.
inline constexpr uint32_t kDefaultSamplingRate = 4;
// At rates faster than one second a measurement takes only channels 1..20.
inline constexpr int kChannelsAtFastRates = 20;

// The table's entry of a code 1..16; nothing for other codes.
constexpr const TSamplingRate* FindSamplingRate(uint32_t code) {
    return code >= 1 && code <= kSamplingRates.size() ? &kSamplingRates[code - 1] : nullptr;
}

// Unknown codes have period 0.
constexpr uint32_t SamplingPeriodMilliseconds(uint32_t code) {
    const TSamplingRate* rate = FindSamplingRate(code);
    return rate != nullptr ? rate->periodMs : 0;
}

constexpr int ChannelsTakingPart(uint32_t code) {
    const uint32_t period = SamplingPeriodMilliseconds(code);
    return period != 0 && period < 1000 ? kChannelsAtFastRates : 100;
}

// Records of the last second, dropped by a stop whose channels ended unevenly; 0 at slower rates
// and for unknown codes.
constexpr uint32_t RecordsPerSecond(uint32_t code) {
    const TSamplingRate* rate = FindSamplingRate(code);
    return rate != nullptr ? rate->recordsPerSecond : 0;
}

static_assert(FindSamplingRate(kDefaultSamplingRate)->periodMs == 1000);
