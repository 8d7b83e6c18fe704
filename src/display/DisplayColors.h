#pragma once
// The display's colours from define.ini: the channels' line colours and the graph's grid,
// backgrounds, cursor and read-out text.
#include <QRgb>
#include <array>
#include <cstdint>
#include <string>

#include "files/AccessorSection.h"

// 24-bit colours with red in the low byte, as the settings name them RRGGBB.
struct TDisplayColors {
    enum EEntry {
        kHiddenChannel = 0,     // the mark of a channel hidden from the graph
        kGrid = 101,            // grc0
        kBackground = 102,      // grc1
        kHoldBackground = 103,  // grc2
        kCursor = 104,          // cur0, and the first phase of the blink
        kCursorBlink = 105,     // cur1
        kText = 106,            // txt0, the graph's read-outs
        kCount = 107
    };

    // The defaults of the settings.
    TDisplayColors();

    uint32_t ChannelColor(int channel) const { return channel >= 1 && channel <= 100 ? colors[channel] : 0; }
    // Opaque.
    static QRgb ToRgb(uint32_t color) {
        return qRgb(color & 0xFF, (color >> 8) & 0xFF, (color >> 16) & 0xFF);
    }
    QRgb Rgb(int entry) const { return ToRgb(colors[static_cast<size_t>(entry)]); }
    // The lists' row-header patches, 0xRRGGBB: entry 0 the grey of a hidden channel, 1..100 the
    // channels'.
    std::array<uint32_t, 101> ChannelMarks() const;

    std::array<uint32_t, kCount> colors{};
    bool operator==(const TDisplayColors&) const = default;
};

// "RRGGBB": each pair read as hexadecimal up to its first other character (none gives 0); a
// shorter text is padded on the right with zeros.
uint32_t ParseColorText(const std::string& text);
// Entries 1..106 from section "parameter" of define.ini ("chc%d", grc0, grc1, grc2, cur0, cur1,
// txt0), each with its default; entry 0 is fixed. Never written back.
TDisplayColors LoadDisplayColors(const VEK::AccessorSection& section);
