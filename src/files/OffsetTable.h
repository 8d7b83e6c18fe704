#pragma once
#include <array>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "data/MeasurementReport.h"

namespace VEK {

// A channel's PC-side offset: converter counts captured from the unit, subtracted from its readings.
struct TOffsetEntry {
    bool inUse = false;
    bool hasData = false;
    // Counts; not finite while a request is unanswered.
    double offset = 0;

    // Data that can be applied ("*").
    bool HasValue() const { return hasData && std::isfinite(offset); }
    // A request the unit has not answered ("E").
    bool Unanswered() const { return hasData && !std::isfinite(offset); }
    // The readings of the channel are corrected.
    bool Applied() const { return inUse && HasValue(); }
};

// The offsets of channels 1 to 100 with the file they were last saved to or loaded from.
struct TOffsetTable {
    static constexpr int kChannels = 100;

    // Offset file last saved or loaded; empty when none.
    std::string path;
    std::string comment;
    // Changed since the last save or load.
    bool modified = false;
    // Indexed by channel 1..100; entry 0 is never used.
    std::array<TOffsetEntry, kChannels + 1> entries{};
};

inline bool IsOffsetChannel(int channel) {
    return channel >= 1 && channel <= TOffsetTable::kChannels;
}

// Channels whose readings are corrected, ascending.
std::vector<uint32_t> AdjustedChannelList(const TOffsetTable& table);
// What the receive path subtracts: the applied offsets, no correction (infinity) elsewhere.
TChannelOffsets ChannelOffsets(const TOffsetTable& table);

}  // namespace VEK
