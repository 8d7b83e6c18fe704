#pragma once
#include <cstdint>
#include <string>

// How a value list paints one cell: a text on the list's background, or an icon centred.
struct TCellLook {
    enum class EAlign { kLeft, kCentre, kRight };

    std::string text;
    EAlign align = EAlign::kLeft;
    uint32_t color = 0x000000;  // 0xRRGGBB
    // Icon resource number; 0 for a text cell.
    int icon = 0;

    bool operator==(const TCellLook&) const = default;
};

// Battery icons by level 0..3; any other level is unknown.
constexpr int BatteryIconId(int32_t level) {
    return level >= 0 && level <= 3 ? 142 + level : 140;
}
