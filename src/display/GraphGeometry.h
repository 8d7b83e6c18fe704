#pragma once
// Where records and temperatures fall on the graph's layers. The data layer is as tall as the
// area and two divisions wider (lines run on past the right edge until the view advances); its
// rows are the visible rows of a layer that would span the whole range −400 .. +1600 degrees.
#include <cmath>
#include <cstdint>

#include "data/ReadingSummary.h"
#include "display/TemperatureAxis.h"
#include "display/TimeAxis.h"

struct TGraphGeometry {
    // The data layer's width in divisions.
    static constexpr uint32_t kLayerDivisions = 12;

    int width = 0;       // W, the area
    int height = 0;      // H
    int layerWidth = 0;  // Wd: twelve divisions
    uint32_t start = 0;
    uint32_t recordsPerDivision = 1;
    double dx = 0;             // pixels per record
    int64_t fullHeight = 0;    // Hd: rows of the whole range at this scale
    int64_t firstRow = 0;      // y0: the row of the whole range at the area's top
    uint32_t recordCount = 0;  // records at or past it are not drawn

    TGraphGeometry() = default;
    TGraphGeometry(int areaWidth, int areaHeight, const TTimeAxis& time, const TTemperatureAxis& temperature,
                   uint32_t records);

    // Pixels of one division, the shift of an advance.
    int DivisionPixels() const { return static_cast<int>(layerWidth / 12.0 + 0.5); }
    // Records at or below 0.5 pixel apart are drawn as one bar a pixel column.
    bool Thinned() const { return dx <= 0.5; }
    // Record i's column (negative left of the layer).
    int X(uint32_t index) const {
        return static_cast<int>(std::trunc((static_cast<double>(index) - start) * dx));
    }
    // The row of a valid reading in tenths (negative above the area): trunc((1600 − T) × Hd /
    // 2000) − y0 for T degrees, in integers.
    int Y(int16_t tenths) const {
        return static_cast<int>(
            (int64_t{kGraphTopDegrees * 10} - tenths) * fullHeight / (kGraphRangeDegrees * 10) - firstRow);
    }
    // The pixel columns of the data layer as an envelope grid.
    TEnvelopeGrid Columns() const {
        return {start, size_t{recordsPerDivision} * 12, static_cast<size_t>(layerWidth), recordCount};
    }
};
