#pragma once
// What a front end hands to the publisher: one complete record as the working file holds it, and the
// run state. Plain values, so that any thread may build them.
#include <array>
#include <bitset>
#include <cstdint>

#include "data/Reading.h"

struct TPublishRecord {
    static constexpr int kChannels = 100;

    uint32_t number = 0;               // the data file's row number: 1 for the run's first record
    int64_t timeMs = 0;                // the record's time in milliseconds since the epoch
    uint32_t rateMs = 0;               // the sampling period
    bool fahrenheit = false;           // unit of the readings: degrees Fahrenheit, else Celsius
    std::bitset<kChannels + 1> inUse;  // by channel number 1..100
    std::array<int16_t, kChannels + 1> readings{};  // tenths, or kReadingLost / kReadingOutOfRange

    // Puts a channel in use with its reading; channels outside 1..100 are ignored.
    void SetReading(int channel, int16_t tenths) {
        if (channel < 1 || channel > kChannels)
            return;
        inUse.set(static_cast<size_t>(channel));
        readings[static_cast<size_t>(channel)] = tenths;
    }
    bool operator==(const TPublishRecord&) const = default;
};

// The run state as the plant sees it; "offline" is the broker's last will, never set by a front end.
enum class ERunState { kIdle, kMeasuring, kFinished, kDeviceError };
