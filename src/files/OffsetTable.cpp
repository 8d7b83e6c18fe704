#include "files/OffsetTable.h"

#include <limits>

namespace VEK {

std::vector<uint32_t> AdjustedChannelList(const TOffsetTable& table) {
    std::vector<uint32_t> channels;
    for (int channel = 1; channel <= TOffsetTable::kChannels; ++channel)
        if (table.entries[channel].Applied())
            channels.push_back(static_cast<uint32_t>(channel));
    return channels;
}

TChannelOffsets ChannelOffsets(const TOffsetTable& table) {
    TChannelOffsets offsets;
    offsets.fill(std::numeric_limits<double>::infinity());
    for (int channel = 1; channel <= TOffsetTable::kChannels; ++channel)
        if (table.entries[channel].Applied())
            offsets[channel] = table.entries[channel].offset;
    return offsets;
}

}  // namespace VEK
