#pragma once
// What the record store takes from the parameter set when it is reset or a measurement starts.
#include <array>
#include <cstdint>
#include <string>

#include "data/TemperatureUnit.h"
#include "data/Thermocouple.h"
#include "protocol/PollingSetting.h"

struct TMeasurementSetup {
    static constexpr int kChannels = 100;

    uint32_t systemNumber = 0;
    // Byte 0 the sampling-rate code; bit 0 of unit code n: channel n in use.
    TPollingSetting pollingSetting = TPollingSetting::Fresh();
    // Indexed by channel number 1..100; entry 0 is unused.
    std::array<int32_t, kChannels + 1> thermocoupleType = MakeTypes();
    std::array<std::string, kChannels + 1> comment{};
    uint32_t temperatureUnit = kTemperatureUnitCelsius;

private:
    static constexpr std::array<int32_t, kChannels + 1> MakeTypes() {
        std::array<int32_t, kChannels + 1> types{};
        types.fill(kThermocoupleK);
        return types;
    }
};
