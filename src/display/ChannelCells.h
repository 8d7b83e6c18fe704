#pragma once
#include <cstdint>
#include <string>

// What one channel's row of a value list shows, apart from its comment and channel number.
// Colours are 0xRRGGBB.
struct TChannelCells {
    std::string valueText;
    // The value is a temperature: right-aligned; anything else ("Lost", "Ready") is centred.
    bool valid = false;
    std::string typeText;
    // Text colour of value and type.
    uint32_t valueColor = 0x000000;
    // 0 to 3; anything else is unknown.
    int32_t batteryLevel = -1;
    std::string versionText;
    // Not subject to the lost time-out (a channel not in use, shown in its place on a page).
    bool exempt = false;

    bool operator==(const TChannelCells&) const = default;
};
