#include "recorder/RecordSummary.h"

#include <cstdio>

#include "data/Reading.h"

void PrintRecordSummary(const CMeasurementDataManager& store) {
    const std::vector<int32_t> channels = store.ChannelsInUse();
    const uint32_t records = store.RecordCount();
    uint64_t lost = 0;
    for (int32_t channel : channels) {
        for (uint32_t i = 0; i < records; ++i) {
            if (CMeasurementDataManager::GetReading(store.Channel(channel), i) == kReadingLost)
                ++lost;
        }
    }
    std::printf("records: %u\nchannels: %zu\nlost readings: %llu\ndropped samples: %llu\nfile: %s\n", records,
                channels.size(), static_cast<unsigned long long>(lost),
                static_cast<unsigned long long>(store.DroppedSamples()), store.SavedPath().c_str());
    std::fflush(stdout);
}
