#include "display/ChannelMarkColors.h"

#include <cctype>

namespace {

const char* const kDefaultCycle[] = {"FF0000", "00FFFF", "00FF00", "FF00FF", "FF6600",
                                     "99CCFF", "FFFF00", "FF99CC", "FFCC99", "CCFFCC"};
constexpr uint32_t kHiddenChannel = 0x646464;

uint32_t HexPair(const std::string& text, size_t at) {
    uint32_t value = 0;
    for (size_t i = at; i < at + 2 && std::isxdigit(static_cast<unsigned char>(text[i])); ++i)
        value = value * 16 + static_cast<uint32_t>(std::stoi(std::string(1, text[i]), nullptr, 16));
    return value;
}

}  // namespace

uint32_t ParseRrggbb(const std::string& text) {
    const std::string padded = text + "000000";
    return HexPair(padded, 0) << 16 | HexPair(padded, 2) << 8 | HexPair(padded, 4);
}

std::array<uint32_t, 101> ReadChannelMarkColors(const VEK::AccessorSection& parameter) {
    std::array<uint32_t, 101> colors{};
    colors[0] = kHiddenChannel;
    for (int channel = 1; channel <= 100; ++channel)
        colors[channel] = ParseRrggbb(
            parameter.GetString("chc" + std::to_string(channel), kDefaultCycle[(channel - 1) % 10]));
    return colors;
}
