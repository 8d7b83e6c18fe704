#include "display/DisplayColors.h"

namespace {

// The default channel colours, repeating every ten channels.
constexpr const char* kChannelCycle[10] = {"FF0000", "00FFFF", "00FF00", "FF00FF", "FF6600",
                                           "99CCFF", "FFFF00", "FF99CC", "FFCC99", "CCFFCC"};
struct TNamedEntry {
    int entry;
    const char* key;
    const char* defaultText;
};
constexpr TNamedEntry kNamedEntries[] = {
    {TDisplayColors::kGrid, "grc0", "777777"},           {TDisplayColors::kBackground, "grc1", "000000"},
    {TDisplayColors::kHoldBackground, "grc2", "332222"}, {TDisplayColors::kCursor, "cur0", "FF0000"},
    {TDisplayColors::kCursorBlink, "cur1", "AA00AA"},    {TDisplayColors::kText, "txt0", "000000"}};
constexpr uint32_t kHiddenGrey = 0x646464;

uint32_t HexPair(const std::string& text, size_t at) {
    uint32_t value = 0;
    for (size_t i = at; i < at + 2; ++i) {
        const char c = text[i];
        uint32_t digit;
        if (c >= '0' && c <= '9')
            digit = static_cast<uint32_t>(c - '0');
        else if (c >= 'a' && c <= 'f')
            digit = static_cast<uint32_t>(c - 'a' + 10);
        else if (c >= 'A' && c <= 'F')
            digit = static_cast<uint32_t>(c - 'A' + 10);
        else
            break;
        value = value * 16 + digit;
    }
    return value & 0xFF;
}

std::string ChannelKey(int channel) {
    return "chc" + std::to_string(channel);
}

}  // namespace

TDisplayColors::TDisplayColors() {
    colors[kHiddenChannel] = kHiddenGrey;
    for (int channel = 1; channel <= 100; ++channel)
        colors[channel] = ParseColorText(kChannelCycle[(channel - 1) % 10]);
    for (const TNamedEntry& named : kNamedEntries) colors[named.entry] = ParseColorText(named.defaultText);
}

std::array<uint32_t, 101> TDisplayColors::ChannelMarks() const {
    std::array<uint32_t, 101> marks{};
    for (int entry = 0; entry <= 100; ++entry) marks[entry] = ToRgb(colors[entry]) & 0xFFFFFF;
    return marks;
}

uint32_t ParseColorText(const std::string& text) {
    const std::string padded = text + "000000";
    return HexPair(padded, 0) | HexPair(padded, 2) << 8 | HexPair(padded, 4) << 16;
}

TDisplayColors LoadDisplayColors(const VEK::AccessorSection& section) {
    TDisplayColors table;
    for (int channel = 1; channel <= 100; ++channel) {
        const char* fallback = kChannelCycle[(channel - 1) % 10];
        table.colors[channel] = ParseColorText(section.GetString(ChannelKey(channel), fallback));
    }
    for (const TNamedEntry& named : kNamedEntries)
        table.colors[named.entry] = ParseColorText(section.GetString(named.key, named.defaultText));
    return table;
}
