#include "display/TemperatureAxis.h"

#include <algorithm>
#include <cmath>

int32_t TTemperatureAxis::DegreesPerDivision() const {
    const int32_t degrees = TempDivValue(tempDivIndex);
    return degrees != 0 ? degrees : TempDivValue(kDefaultTempDiv);
}

void TTemperatureAxis::SetTempDiv(int32_t index) {
    tempDivIndex = TempDivValue(index) != 0 ? index : kDefaultTempDiv;
    Clamp();
}

void TTemperatureAxis::Clamp() {
    tempDivIndex = TempDivValue(tempDivIndex) != 0 ? tempDivIndex : kDefaultTempDiv;
    const int32_t d = DegreesPerDivision();
    int32_t c = d * (centre / d);
    if (c + 5 * d > kGraphTopDegrees)
        c = kGraphTopDegrees - 5 * d;
    if (c - 5 * d < kGraphBottomDegrees)
        c = 5 * d + kGraphBottomDegrees;
    centre = c;
}

TTemperatureRange TTemperatureAxis::Range() const {
    const int32_t d = DegreesPerDivision();
    TTemperatureRange range;
    range.top = centre + 5 * d;
    range.centre = centre;
    range.bottom = centre - 5 * d;
    // The last position whose page of ten divisions ends at the bottom of the range.
    range.scroll.maximum = kGraphRangeDegrees / d - 10;
    range.scroll.position = (kGraphTopDegrees - range.top) / d;
    return range;
}

void TTemperatureAxis::SetScroll(int position) {
    const int32_t d = DegreesPerDivision();
    centre = kGraphTopDegrees - d * (position + 5);
    Clamp();
}

void TTemperatureAxis::AutoScale(double a, double b) {
    const double maximum = std::max(a, b);
    const double minimum = std::min(a, b);
    const double diff = maximum - minimum;
    const double sum = maximum + minimum;
    struct TRow {
        double diff;
        int32_t index;
        double offset;  // the centre is trunc((sum + offset) / (2 d)) × d
    };
    static constexpr TRow kRows[] = {{8.8, 1, 0.5}, {17.6, 2, 1}, {44, 3, 2.5}, {88, 4, 5},
                                     {176, 5, 10},  {352, 6, 25}, {704, 7, 50}, {HUGE_VAL, 8, 1000}};
    for (const TRow& row : kRows) {
        if (diff > row.diff)
            continue;
        tempDivIndex = row.index;
        const double d = TempDivValue(row.index);
        const double centreValue = std::trunc((sum + row.offset) / (2 * d)) * d;
        centre = static_cast<int32_t>(std::clamp(centreValue, -1e9, 1e9));
        break;
    }
    Clamp();
}

bool TTemperatureAxis::StepUp() {
    const bool stepped = tempDivIndex < kTempDivCount;
    if (stepped)
        ++tempDivIndex;
    Clamp();
    return stepped;
}

bool TTemperatureAxis::StepDown() {
    const bool stepped = tempDivIndex > 1;
    if (stepped)
        --tempDivIndex;
    Clamp();
    return stepped;
}
