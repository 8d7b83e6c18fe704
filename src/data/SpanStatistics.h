#pragma once
// The statistics of a span of records of the record store, channel by channel: what the span
// window shows and hollowmere-stats prints.
#include <cstdint>
#include <vector>

#include "data/ChannelStatistics.h"
#include "data/MeasurementDataManager.h"
#include "support/SystemTime.h"

struct TSpanStatistics {
    uint32_t a = 0;  // the span's ends as given; either may come first
    uint32_t b = 0;
    uint32_t periodMs = 0;
    uint32_t temperatureUnit = 0;
    VEK::CSystemTime startTime;  // of record 0, whole seconds as in the data file's rows
    std::vector<TChannelStatistics> channels;

    // From A to B, negative when B comes first.
    int64_t SpanMilliseconds() const { return (int64_t{b} - int64_t{a}) * periodMs; }
    VEK::CSystemTime TimeOf(uint32_t record) const {
        return startTime.AddMilliseconds(int64_t{record} * periodMs);
    }
    std::optional<int64_t> RatePerMinuteHundredths(const TChannelStatistics& channel) const {
        return channel.RatePerMinuteHundredths(SpanMilliseconds());
    }
};

// The span of records a to b of the channels given, in their order. Ends at or past the store's
// record count are the caller's to avoid: those records have no readings. Window thread (the
// channels' comments), or a store no other thread changes.
TSpanStatistics SpanStatistics(const CMeasurementDataManager& store, uint32_t a, uint32_t b,
                               const std::vector<int32_t>& channels);
