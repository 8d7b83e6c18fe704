#pragma once
#include <cstdint>

// Colours of the status line by run state and connection: text on background, 0xRRGGBB.
struct TStatusColors {
    uint32_t text = 0;
    uint32_t background = 0;

    bool operator==(const TStatusColors&) const = default;
};

struct TStatusLook {
    TStatusColors colors;
    // "Not Ready" after a failed attempt while nothing is measured: alternates between the two
    // blink phases every 500 ms.
    bool blinks = false;

    static constexpr TStatusColors kMeasuring{0x000000, 0x49C12C};
    static constexpr TStatusColors kWaiting{0x000000, 0xFFA500};  // "Ready", or before any attempt
    static constexpr TStatusColors kNotReady{0x000000, 0xFF4040};
    static constexpr TStatusColors kBlinkFirst{0xC80000, 0xC8C8C8};
    static constexpr TStatusColors kBlinkSecond{0x000000, 0xFF0000};

    static TStatusLook For(int runState, bool connected, bool attempted);
};
