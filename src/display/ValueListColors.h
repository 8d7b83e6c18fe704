#pragma once
#include <cstdint>

// Colours of the channel value lists, 0xRRGGBB.
namespace ValueListColor {
inline constexpr uint32_t kBlack = 0x000000;
inline constexpr uint32_t kLost = 0xFF0000;
// Values of a channel whose readings carry an offset correction.
inline constexpr uint32_t kAdjusted = 0x0000FF;
inline constexpr uint32_t kBackground = 0xF0F0F0;
// The Temp. header while any channel's readings are adjusted.
inline constexpr uint32_t kAdjustedHeader = 0xFFA500;
// Outline of a channel's colour patch in the row header.
inline constexpr uint32_t kMarkOutline = 0xA0A0A0;
}  // namespace ValueListColor
