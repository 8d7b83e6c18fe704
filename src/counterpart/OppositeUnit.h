#pragma once
#include <cstdint>

// One simulated unit as the counterpart keeps it, 20 bytes in the stored "struct" setting:
// use flag, three zero filler bytes, then four signed 32-bit little-endian values.
struct TOppositeUnit {
    static constexpr size_t kStoredSize = 20;
    // The cold-junction word carries 14 signed bits of 1/32 degC.
    static constexpr int32_t kSensorMin = -8192;
    static constexpr int32_t kSensorMax = 8191;
    // The converter count is a signed 24-bit value.
    static constexpr int32_t kThermoMin = -8388608;
    static constexpr int32_t kThermoMax = 8388607;
    static constexpr int32_t kJitterMax = 10000;
    static constexpr int32_t kFailureRateMax = 100;

    bool use = false;
    int32_t sensor = 0;        // reference-junction reading, 1/32 degC
    int32_t thermocouple = 0;  // raw converter count
    int32_t jitter = 0;        // amplitude in sensor units
    int32_t failureRate = 0;   // percent of cycles without a report

    bool operator==(const TOppositeUnit&) const = default;
};
