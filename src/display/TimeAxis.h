#pragma once
// Which records the graph shows: the record at the left edge and the time one of the ten
// divisions spans at the sampling interval.
#include <cstdint>

#include "display/GraphScaleNames.h"

// A scroll bar's range in Qt's terms: the maximum is the last position a page can start at.
struct TScrollInfo {
    int minimum = 0;
    int maximum = 0;
    int page = 10;
    int position = 0;
    bool operator==(const TScrollInfo&) const = default;
};

struct TTimeAxis {
    // Record at the left edge.
    uint32_t start = 0;
    int32_t timeDivIndex = kDefaultTimeDiv;
    // Record intervals across the ten divisions; a positive multiple of 10 wherever the table
    // allows.
    uint32_t samplesPerScreen = 10;
    uint32_t samplingInterval = 1000;  // ms

    // Records per division, never 0.
    uint32_t SamplesPerDivision() const { return samplesPerScreen / 10; }
    // The records across the ten divisions, a whole number of divisions.
    uint32_t ScreenRecords() const { return SamplesPerDivision() * 10; }

    // A measurement starts or a file is loaded at this rate: start 0, the time per division
    // raised until one division spans at least one interval.
    void SetSamplingInterval(uint32_t rateCode);
    // A file's or the settings' time scale; an index outside the table gives "10sec".
    void SetTimeDiv(int32_t index);
    // One step to a longer (out) or shorter (in) time per division; false at the table's end.
    bool ZoomOut();
    bool ZoomIn();
    // The smallest start on a whole division that shows record k.
    void FollowRecord(uint32_t k);
    // The horizontal bar over n records, one position a division.
    TScrollInfo ScrollInfo(uint32_t records) const;
    // The bar moved to position.
    void ScrollTo(int position) {
        start = static_cast<uint32_t>(position < 0 ? 0 : position) * SamplesPerDivision();
    }

private:
    uint32_t SamplesPerScreenAt(int32_t index) const;
    // Raises the index while a division holds no whole number of records, or the screen fewer
    // than ten.
    void ApplyDivisibility();
};
