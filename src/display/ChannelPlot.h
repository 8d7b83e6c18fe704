#pragma once
// One channel's readings drawn into the data layer. Above two records a pixel each record is a
// point of the line (a gap breaks it, a reading after a gap starts with a short stub); below, each
// pixel column is one bar from the lowest to the highest reading of its records, joined to the
// bar beside it, so that no reading, however short, goes unseen.
#include <QRgb>
#include <cstdint>

#include "data/MeasurementChannel.h"
#include "display/DataLayer.h"
#include "display/GraphGeometry.h"

class CChannelPlot {
public:
    CChannelPlot(CDataLayer& layer, const TGraphGeometry& geometry) : m_layer(layer), m_geometry(geometry) {}

    // The records first .. first + count − 1 of the channel, joined to the records on either side.
    void Plot(const CMeasurementChannel& channel, QRgb color, uint32_t first, uint32_t count);

private:
    void PlotLines(const CMeasurementChannel& channel, QRgb color, uint32_t first, uint32_t count);
    void PlotBars(const CMeasurementChannel& channel, QRgb color, uint32_t first, uint32_t count);

    CDataLayer& m_layer;
    const TGraphGeometry& m_geometry;
};
