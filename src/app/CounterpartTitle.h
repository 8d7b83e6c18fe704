#pragma once
#include <cstdint>
#include <string>

// The counterpart window's title: while measuring, the elapsed-time read-out and the time of the
// record under the graph's right edge.
struct TCounterpartTitle {
    bool measuring = false;
    // The graph's elapsed-time read-out as shown.
    std::string elapsedText{};
    // Records measured so far (sequence counter minus index base).
    uint32_t recordsMeasured = 0;
    // The graph's first record on screen and the record intervals across it.
    uint32_t start = 0;
    uint32_t samplesPerScreen = 0;
    uint32_t periodMs = 0;

    std::string Text() const;
};
