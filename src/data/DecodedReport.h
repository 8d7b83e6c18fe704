#pragma once
#include <array>
#include <cstdint>

#include "data/Reading.h"

// A measurement report turned into temperatures in the display unit.
struct TDecodedReport {
    static constexpr uint32_t kMaxSamples = 4;

    uint32_t unit = 0;
    uint8_t battery = 0;
    // Sequence number of the first sample, modulo 256: the store widens it into a record index.
    uint8_t sequence = 0;
    uint32_t sampleCount = 0;
    // Invalid temperature (positive infinity) where the conversion failed.
    std::array<double, kMaxSamples> temperature{kInvalidTemperature, kInvalidTemperature, kInvalidTemperature,
                                                kInvalidTemperature};
    // Cold-junction temperature of the last sample, always degC.
    double coldJunction = kInvalidTemperature;
};
