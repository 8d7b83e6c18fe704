#pragma once
// Checks of measurement data the fuzzers loaded from files they made up.
#include <algorithm>

#include "FuzzCheck.h"
#include "data/MeasurementDataManager.h"
#include "files/DataFileWriter.h"

namespace fuzz {

inline int16_t Reading(const CMeasurementDataManager& store, int channel, uint32_t record) {
    return CMeasurementDataManager::GetReading(store.Channel(channel), record);
}

// Two loads of the same file: the same in every respect.
inline void RequireSameStore(const CMeasurementDataManager& a, const CMeasurementDataManager& b) {
    Require(a.RecordCount() == b.RecordCount() && a.SystemNumber() == b.SystemNumber());
    Require(a.SamplingRateCode() == b.SamplingRateCode() && a.TemperatureUnit() == b.TemperatureUnit());
    Require(a.StartTime() == b.StartTime() && a.AdjustedChannels() == b.AdjustedChannels());
    Require(a.ChannelsInUse() == b.ChannelsInUse());
    for (int k = 1; k <= CMeasurementDataManager::kChannels; ++k) {
        const auto& x = a.Channel(k);
        const auto& y = b.Channel(k);
        Require(x.InUse() == y.InUse() && x.ThermocoupleType() == y.ThermocoupleType());
        Require(x.Comment() == y.Comment() && x.ReadingCount() == y.ReadingCount());
        for (uint32_t i = 0; i < x.ReadingCount(); ++i) Require(Reading(a, k, i) == Reading(b, k, i));
    }
}

// A data file written from loaded data, loaded again: the records from the first one holding a
// reading up to the last one holding a reading, with the channels of the file.
inline void RequireWrittenAndLoaded(const CMeasurementDataManager& loaded,
                                    const CMeasurementDataManager& again) {
    const uint32_t channels = VEK::FileChannelCount(loaded);
    uint32_t first = loaded.RecordCount(), end = 0;
    for (uint32_t k = 1; k <= channels; ++k) {
        if (!loaded.Channel(static_cast<int>(k)).InUse())
            continue;
        for (uint32_t i = 0; i < loaded.RecordCount(); ++i) {
            if (Reading(loaded, static_cast<int>(k), i) != kReadingLost) {
                first = std::min(first, i);
                end = std::max(end, i + 1);
            }
        }
    }
    Require(again.RecordCount() == (end > first ? end - first : 0));
    Require(VEK::FileChannelCount(again) == channels);
    Require(again.SystemNumber() == loaded.SystemNumber() &&
            again.TemperatureUnit() == loaded.TemperatureUnit());
    Require(again.SamplingRateCode() == loaded.SamplingRateCode());
    for (uint32_t k = 1; k <= channels; ++k) {
        const auto& a = loaded.Channel(static_cast<int>(k));
        const auto& b = again.Channel(static_cast<int>(k));
        Require(a.InUse() == b.InUse() && a.ThermocoupleType() == b.ThermocoupleType());
        Require(a.Comment() == b.Comment());
        for (uint32_t d = 0; a.InUse() && d < again.RecordCount(); ++d)
            Require(Reading(again, static_cast<int>(k), d) ==
                    Reading(loaded, static_cast<int>(k), first + d));
    }
}

}  // namespace fuzz
