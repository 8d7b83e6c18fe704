#pragma once
// What one channel's readings say over a span of records between two ends, A and B (either may
// come first): the readings at the ends, the lowest and highest with the first record of each, and
// the total and count of the valid readings for the mean.
#include <cstdint>
#include <optional>
#include <string>

#include "data/Reading.h"
#include "data/ReadingSummary.h"

struct TChannelStatistics {
    int channel = 0;
    std::string comment;
    int16_t atA = kReadingLost;
    int16_t atB = kReadingLost;
    TReadingExtremes extremes;  // empty when no reading of the span is valid
    uint32_t minRecord = 0;
    uint32_t maxRecord = 0;
    int64_t sum = 0;  // tenths
    uint32_t valid = 0;
    uint32_t records = 0;  // in the span, both ends included

    // Lost, Out Of Range or no reading at all.
    uint32_t Missing() const { return records - valid; }
    // B minus A in tenths; nothing when either is not a temperature.
    std::optional<int32_t> DeltaTenths() const;
    // The mean in hundredths of a degree, rounded half away from zero; nothing without a valid reading.
    std::optional<int64_t> MeanHundredths() const;
    // The change from A to B per minute in hundredths of a degree, rounded half away from zero, for
    // B lying spanMs after A (negative when B comes first); nothing when a reading at an end is
    // missing or the ends meet.
    std::optional<int64_t> RatePerMinuteHundredths(int64_t spanMs) const;
};
