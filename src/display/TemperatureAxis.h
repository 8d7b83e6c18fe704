#pragma once
// Which temperatures the graph shows: degrees per division and the temperature at the centre,
// within the fixed range −400 .. +1600 degrees of the display unit.
#include <cstdint>

#include "display/GraphScaleNames.h"
#include "display/TimeAxis.h"

inline constexpr int32_t kGraphTopDegrees = 1600;
inline constexpr int32_t kGraphBottomDegrees = -400;
inline constexpr int32_t kGraphRangeDegrees = kGraphTopDegrees - kGraphBottomDegrees;

struct TTemperatureRange {
    int32_t top = 0;
    int32_t centre = 0;
    int32_t bottom = 0;
    // The vertical bar: position 0 shows the top of the range.
    TScrollInfo scroll;
};

struct TTemperatureAxis {
    int32_t centre = 0;  // whole degrees
    int32_t tempDivIndex = kDefaultTempDiv;

    // Degrees per division; an index outside the table counts as 10.
    int32_t DegreesPerDivision() const;
    // A file's or the settings' scale; an index outside the table gives 10 degrees.
    void SetTempDiv(int32_t index);
    // The centre on a whole division, the window inside the range.
    void Clamp();
    TTemperatureRange Range() const;
    // The vertical bar moved to position.
    void SetScroll(int position);
    // Scale and centre for readings between the two extremes (degrees, either order).
    void AutoScale(double a, double b);
    // One row up (more degrees) or down; false at the table's end. The centre stays where the
    // clamp allows.
    bool StepUp();
    bool StepDown();
};
