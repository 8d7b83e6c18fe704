#pragma once
#include <cstdint>

// Sampling-rate codes 1..16 ("100msec" .. "1hour") as the record store needs them: the period that
// spaces the records and the channel limit of the fast rates. Unknown codes have period 0.
constexpr uint32_t SamplingPeriodMilliseconds(uint32_t code) {
    constexpr uint32_t kPeriods[] = {100,   200,   500,    1000,   2000,   5000,    10000,   20000,
                                     30000, 60000, 120000, 300000, 600000, 1200000, 1800000, 3600000};
    return code >= 1 && code <= 16 ? kPeriods[code - 1] : 0;
}

// Below one second a measurement takes only channels 1..20.
constexpr int ChannelsTakingPart(uint32_t code) {
    const uint32_t period = SamplingPeriodMilliseconds(code);
    return period != 0 && period < 1000 ? 20 : 100;
}

// Records of the last second, dropped by a stop whose channels ended unevenly (rates up to one second).
constexpr uint32_t RecordsPerSecond(uint32_t code) {
    const uint32_t period = SamplingPeriodMilliseconds(code);
    return period != 0 && period <= 1000 ? 1000 / period : 0;
}
