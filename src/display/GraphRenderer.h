#pragma once
// The picture of the graph area: two grid layers (normal and hold background) and a data layer
// that holds the channels' lines. A picture is a grid layer with the data layer's lines over it
// and the cursor line; the lines are drawn once and extended as records arrive.
#include <QImage>
#include <cstdint>

#include "data/MeasurementDataManager.h"
#include "display/DataLayer.h"
#include "display/DisplayColors.h"
#include "display/GraphChannelVisibility.h"
#include "display/GraphGeometry.h"

// Cursor B's column (−1 when it lies off the screen) and the columns shaded between the two
// cursors (none when shadeFrom > shadeTo).
struct TSpanMarks {
    int cursorBX = -1;
    int shadeFrom = 0;
    int shadeTo = -1;
    bool operator==(const TSpanMarks&) const = default;
};

class CGraphRenderer {
public:
    // Layers for an area of width × height in these colours; the data layer is empty. False when
    // the memory for the layers is not available (the picture then says so).
    bool Rebuild(int width, int height, const TDisplayColors& colors);
    int Width() const { return m_width; }
    int Height() const { return m_height; }
    const TDisplayColors& Colors() const { return m_colors; }
    // The mapping of the axes onto the layers at the last rebuild's size.
    TGraphGeometry Geometry(const TTimeAxis& time, const TTemperatureAxis& temperature,
                            uint32_t records) const {
        return {m_width, m_height, time, temperature, records};
    }

    void ClearDataLayer() { m_data.Clear(); }
    // The records first .. first + count − 1 of a channel in use and shown; nothing otherwise.
    void PlotChannel(const TGraphGeometry& geometry, const CMeasurementDataManager& store,
                     const CGraphChannelVisibility& visibility, int channel, uint32_t first, uint32_t count);
    // Every shown channel over the screen's records (the record at the right edge included).
    void PlotAllChannels(const TGraphGeometry& geometry, const CMeasurementDataManager& store,
                         const CGraphChannelVisibility& visibility, bool clear);
    // One division to the left: the view advanced.
    void ShiftDataLayerLeft(const TGraphGeometry& geometry) { m_data.ShiftLeft(geometry.DivisionPixels()); }

    // The picture of width × height: the grid (hold background while held) lightened between the
    // cursors, the lines, the cursor line at column cursorX when it is not negative and cursor B's
    // dashed. Drawn into picture, whose memory is used again when it has the size and is not shared.
    void Compose(bool hold, int cursorX, QImage& picture, const TSpanMarks& span = {}) const;
    QImage Compose(bool hold, int cursorX, const TSpanMarks& span = {}) const {
        QImage picture;
        Compose(hold, cursorX, picture, span);
        return picture;
    }

    size_t LayerBytes() const;
    const CDataLayer& DataLayer() const { return m_data; }

private:
    bool BuildGrid(QImage& layer, QRgb background);

    int m_width = 0;
    int m_height = 0;
    TDisplayColors m_colors;
    QImage m_grid;
    QImage m_holdGrid;
    CDataLayer m_data;
    bool m_complete = false;  // all three layers exist
};
