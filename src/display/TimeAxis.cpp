#include "display/TimeAxis.h"

#include <algorithm>
#include <climits>

#include "data/SamplingRate.h"

uint32_t TTimeAxis::SamplesPerScreenAt(int32_t index) const {
    return static_cast<uint32_t>(10.0 * TimeDivSeconds(index) * 1000.0 / samplingInterval);
}

void TTimeAxis::ApplyDivisibility() {
    samplesPerScreen = SamplesPerScreenAt(timeDivIndex);
    // A division shorter than one interval would leave no record to a division.
    while ((samplesPerScreen % 10 != 0 || samplesPerScreen < 10) && timeDivIndex < kTimeDivCount) {
        ++timeDivIndex;
        samplesPerScreen = SamplesPerScreenAt(timeDivIndex);
    }
}

void TTimeAxis::SetSamplingInterval(uint32_t rateCode) {
    start = 0;
    const uint32_t period = SamplingPeriodMilliseconds(rateCode);
    samplingInterval = period != 0 ? period : 1000;
    while (TimeDivSeconds(timeDivIndex) * 1000ull < samplingInterval && timeDivIndex < kTimeDivCount)
        ++timeDivIndex;
    ApplyDivisibility();
}

void TTimeAxis::SetTimeDiv(int32_t index) {
    timeDivIndex = index >= 1 && index <= kTimeDivCount ? index : kDefaultTimeDiv;
    ApplyDivisibility();
}

bool TTimeAxis::ZoomOut() {
    if (timeDivIndex >= kTimeDivCount)
        return false;
    ++timeDivIndex;
    ApplyDivisibility();
    return true;
}

bool TTimeAxis::ZoomIn() {
    if (TimeDivSeconds(timeDivIndex) * 1000ull <= samplingInterval || timeDivIndex <= 1)
        return false;
    --timeDivIndex;
    samplesPerScreen = SamplesPerScreenAt(timeDivIndex);
    while (samplesPerScreen % 10 != 0 && TimeDivSeconds(timeDivIndex) * 1000ull > samplingInterval &&
           timeDivIndex > 1) {
        --timeDivIndex;
        samplesPerScreen = SamplesPerScreenAt(timeDivIndex);
    }
    if (samplesPerScreen < 10)
        ApplyDivisibility();
    return true;
}

void TTimeAxis::FollowRecord(uint32_t k) {
    const uint32_t division = SamplesPerDivision();
    if (k < samplesPerScreen || division == 0) {
        start = 0;
        return;
    }
    const uint64_t behind = k - samplesPerScreen;
    start = static_cast<uint32_t>((behind + division - 1) / division * division);
}

TScrollInfo TTimeAxis::ScrollInfo(uint32_t records) const {
    const int64_t division = std::max<uint32_t>(SamplesPerDivision(), 1);
    const int64_t last = records == 0 ? 0 : int64_t{records} - 1;
    // Positions up to the last division that holds a record, less the page of ten.
    const int64_t maximum = (division - 1 + last) / division - 1 - 9;
    TScrollInfo info;
    info.maximum = static_cast<int>(std::clamp<int64_t>(maximum, 0, INT_MAX));
    info.position = static_cast<int>(std::min<int64_t>(start / division, INT_MAX));
    return info;
}
