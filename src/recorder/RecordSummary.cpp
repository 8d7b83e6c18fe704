#include "recorder/RecordSummary.h"

#include <cstdio>

#include "data/Reading.h"

TRecordSummary TRecordSummary::Of(const CMeasurementDataManager& store) {
    TRecordSummary summary;
    const std::vector<int32_t> channels = store.ChannelsInUse();
    summary.records = store.RecordCount();
    summary.channels = channels.size();
    for (int32_t channel : channels) {
        for (uint32_t i = 0; i < summary.records; ++i) {
            if (CMeasurementDataManager::GetReading(store.Channel(channel), i) == kReadingLost)
                ++summary.lost;
        }
    }
    summary.dropped = store.DroppedSamples();
    summary.file = store.SavedPath();
    return summary;
}

void TRecordSummary::Print() const {
    std::printf("records: %u\nchannels: %zu\nlost readings: %llu\ndropped samples: %llu\nfile: %s\n", records,
                channels, static_cast<unsigned long long>(lost), static_cast<unsigned long long>(dropped),
                file.c_str());
    for (const std::string& line : publishing) std::printf("%s\n", line.c_str());
    std::fflush(stdout);
}

void PrintRecordSummary(const CMeasurementDataManager& store) {
    TRecordSummary::Of(store).Print();
}
