#pragma once
#include <algorithm>
#include <cstdint>

#include "counterpart/OppositeUnit.h"

// The ranges the counterpart window edits in. Stored settings are clamped into them when read, so
// that every value the window shows is the value it sends.
struct TOppositeRanges {
    static constexpr int32_t kSensorMin = TOppositeUnit::kSensorMin;
    static constexpr int32_t kSensorMax = TOppositeUnit::kSensorMax;
    // Plus or minus 8 mV of thermocouple EMF.
    static constexpr int32_t kThermoMin = -1048576;
    static constexpr int32_t kThermoMax = 1048575;
    // The thermocouple slider moves in steps of this many counts.
    static constexpr int32_t kThermoSliderStep = 256;
    static constexpr int32_t kJitterMax = TOppositeUnit::kJitterMax;
    static constexpr int32_t kFailureRateMax = TOppositeUnit::kFailureRateMax;

    static constexpr uint32_t kPeriodMin = 50;
    static constexpr uint32_t kPeriodMax = 60000;
    // Faster cycles only when the application's polling setting asks for them.
    static constexpr uint32_t kPeriodByHandMin = 100;
    static constexpr uint32_t kDefaultPeriod = 1000;

    static TOppositeUnit Clamped(const TOppositeUnit& unit) {
        TOppositeUnit clamped = unit;
        clamped.sensor = std::clamp(unit.sensor, kSensorMin, kSensorMax);
        clamped.thermocouple = std::clamp(unit.thermocouple, kThermoMin, kThermoMax);
        clamped.jitter = std::clamp(unit.jitter, 0, kJitterMax);
        clamped.failureRate = std::clamp(unit.failureRate, 0, kFailureRateMax);
        return clamped;
    }
};
