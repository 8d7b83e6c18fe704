#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "data/TemperatureUnit.h"
#include "files/AccessorSection.h"
#include "files/GraphScaleSettings.h"
#include "protocol/FwVersionData.h"
#include "protocol/PollingSetting.h"

namespace VEK {

constexpr int kChannelCount = 100;

// The installation's parameters. Per-channel arrays are indexed by channel 1..100 (0 unused).
struct TParameterSet {
    static constexpr uint32_t kDefaultCommandTimeoutMs = 500;
    static constexpr uint32_t kDefaultCommandRetries = 1;
    // Optional list columns (bit 0 comment, 1 type, 2 battery, 3 version): type beside the graph,
    // comment and type in the lists shown without it.
    static constexpr uint8_t kDefaultVisibleItemsSingle = 2;
    static constexpr uint8_t kDefaultVisibleItemsOnly = 3;

    uint32_t systemNumber = 0;
    TPollingSetting polling = TPollingSetting::Fresh();
    std::array<int32_t, kChannelCount + 1> thermocoupleType{};
    std::array<std::string, kChannelCount + 1> comment{};
    uint32_t commandTimeoutMs = kDefaultCommandTimeoutMs;
    uint32_t commandRetries = kDefaultCommandRetries;
    TFwVersionData firmware{};  // filled by the dongle's answer, never stored
    uint8_t visibleItemsSingle = kDefaultVisibleItemsSingle;
    uint8_t visibleItemsOnly = kDefaultVisibleItemsOnly;
    uint32_t temperatureUnit = kTemperatureUnitCelsius;
};

// Loads the set from a "user" section (lastone.ini or a setup file) and define.ini "parameter".
void ReadParameterSet(TParameterSet& set, const AccessorSection& user, const AccessorSection& parameter);
// Stores channels, system number, visible items and unit; never the rate, time-out or retries.
// False when a write was refused.
bool WriteParameterSet(const TParameterSet& set, const AccessorSection& user);
// WriteParameterSet, then the graph scales.
bool SaveUserSection(const TParameterSet& set, const TGraphScaleSettings& scales,
                     const AccessorSection& user);
// Reads the graph scales ("time-div", "temp-div", "temp-offset") with their defaults.
TGraphScaleSettings ReadGraphScales(const AccessorSection& user);

// Comma-separated fields; a field in double quotes directly followed by a comma or the end keeps
// its commas. An empty text gives no field.
std::vector<std::string> SplitFields(const std::string& text);

}  // namespace VEK
