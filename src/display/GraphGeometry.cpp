#include "display/GraphGeometry.h"

#include <algorithm>

TGraphGeometry::TGraphGeometry(int areaWidth, int areaHeight, const TTimeAxis& time,
                               const TTemperatureAxis& temperature, uint32_t records)
    : width(std::max(areaWidth, 0)),
      height(std::max(areaHeight, 0)),
      layerWidth(width * 12 / 10),
      start(time.start),
      recordsPerDivision(std::max<uint32_t>(time.SamplesPerDivision(), 1)),
      recordCount(records) {
    dx = layerWidth / (recordsPerDivision * 12.0);
    const int32_t d = temperature.DegreesPerDivision();
    fullHeight = static_cast<int64_t>(height / 10.0 * (kGraphRangeDegrees / d));
    const int64_t position = temperature.Range().scroll.position;
    firstRow = d * position * fullHeight / kGraphRangeDegrees;
}
