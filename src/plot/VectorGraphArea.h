#pragma once
// The graph area as lines for SVG, the same picture the renderer draws into pixels: the grid, and
// per channel the line through its readings or, where a pixel column holds more than two records,
// the band from the lowest to the highest reading of each column, so that a spike of one reading
// is never thinned away. Drawn from the channels' summaries, as the renderer draws.
#include <QPainter>
#include <QRect>
#include <bitset>
#include <optional>

#include "data/MeasurementDataManager.h"
#include "display/DisplayColors.h"
#include "display/GraphGeometry.h"

class CVectorGraphArea {
public:
    // All borrowed; they outlive the painter's use.
    CVectorGraphArea(const CMeasurementDataManager& store, const TGraphGeometry& geometry,
                     const TDisplayColors& colors, const std::bitset<101>& channels,
                     std::optional<int> cursorX)
        : m_store(store), m_geometry(geometry), m_colors(colors), m_channels(channels), m_cursorX(cursorX) {}

    void Paint(QPainter& painter, const QRect& area) const;

private:
    void PaintGrid(QPainter& painter, const QRect& area) const;
    void PaintLines(QPainter& painter, const CMeasurementChannel& channel, QRgb color) const;
    void PaintBands(QPainter& painter, const CMeasurementChannel& channel, QRgb color) const;

    const CMeasurementDataManager& m_store;
    const TGraphGeometry& m_geometry;
    const TDisplayColors& m_colors;
    const std::bitset<101>& m_channels;
    std::optional<int> m_cursorX;
};
