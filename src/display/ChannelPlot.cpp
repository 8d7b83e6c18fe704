#include "display/ChannelPlot.h"

#include <algorithm>
#include <cmath>
#include <vector>

void CChannelPlot::Plot(const CMeasurementChannel& channel, QRgb color, uint32_t first, uint32_t count) {
    if (count == 0 || m_layer.IsNull() || m_geometry.layerWidth <= 0)
        return;
    if (m_geometry.Thinned())
        PlotBars(channel, color, first, count);
    else
        PlotLines(channel, color, first, count);
}

void CChannelPlot::PlotLines(const CMeasurementChannel& channel, QRgb color, uint32_t first, uint32_t count) {
    const TGraphGeometry& g = m_geometry;
    // Records left of the layer are not drawn, except the one the first visible line starts from.
    const uint64_t visibleFrom = g.start > 0 ? g.start - 1 : 0;
    // The last record whose point lies within two steps past the layer's right edge.
    const uint64_t lastOnLayer = g.start + static_cast<uint64_t>((g.layerWidth + 2 * g.dx) / g.dx);
    // One record before (the seam) and one after (a gap filled late joins on).
    const uint64_t from = std::max<uint64_t>(first > 0 ? first - 1 : 0, visibleFrom);
    const uint64_t end = std::min<uint64_t>({uint64_t{first} + count + 1, lastOnLayer + 1, g.recordCount});
    if (from >= end)
        return;
    std::vector<int16_t> readings(end - from);
    readings.resize(channel.CopyReadings(from, readings.size(), readings.data()));
    const int width = g.dx >= 2.0 ? 2 : 1;
    // The record before the range only gives the line its start.
    const size_t seed = from < first ? 1 : 0;
    int16_t previous = seed != 0 ? readings[0] : kReadingLost;
    bool penUp = true;
    int lastX = 0, lastY = 0;
    for (size_t j = seed; j < readings.size(); ++j) {
        const int16_t reading = readings[j];
        if (!IsValidReading(reading)) {
            penUp = true;
            previous = reading;
            continue;
        }
        const int x = g.X(static_cast<uint32_t>(from + j));
        const int y = g.Y(reading);
        if (!IsValidReading(previous)) {
            lastX = x - 1;  // a reading after a gap: a stub
            lastY = y;
        } else if (penUp) {
            lastX = static_cast<int>(std::trunc(x - g.dx));
            lastY = g.Y(previous);
        }
        m_layer.Line(lastX, lastY, x, y, color, width);
        penUp = false;
        lastX = x;
        lastY = y;
        previous = reading;
    }
}

void CChannelPlot::PlotBars(const CMeasurementChannel& channel, QRgb color, uint32_t first, uint32_t count) {
    const TGraphGeometry& g = m_geometry;
    const TEnvelopeGrid grid = g.Columns();
    const uint64_t last = std::min<uint64_t>(uint64_t{first} + count, grid.first + grid.span);
    if (last <= grid.first || first >= grid.first + grid.span)
        return;
    // The columns of the records, the one before (their bars join it) and the one after (its bar
    // joins theirs).
    const size_t firstColumn = grid.ColumnOf(std::max<uint64_t>(first, grid.first));
    const size_t from = firstColumn > 0 ? firstColumn - 1 : 0;
    const size_t end = std::min(grid.ColumnOf(static_cast<size_t>(last - 1)) + 2, grid.columns);
    std::vector<TReadingExtremes> columns(end - from);
    channel.Envelope(grid, from, end, columns.data());
    int previousTop = 0, previousBottom = 0;
    bool previousDrawn = false;
    for (size_t c = 0; c < columns.size(); ++c) {
        const TReadingExtremes& extremes = columns[c];
        if (extremes.Empty()) {
            previousDrawn = false;
            continue;
        }
        const int top = g.Y(extremes.max);
        const int bottom = g.Y(extremes.min);
        // Joined to the bar before: reaching at least the row next to its nearest end.
        if (from + c >= firstColumn) {
            const int joinedTop = previousDrawn ? std::min(top, previousBottom + 1) : top;
            const int joinedBottom = previousDrawn ? std::max(bottom, previousTop - 1) : bottom;
            m_layer.Span(static_cast<int>(from + c), joinedTop, joinedBottom, color);
        }
        previousTop = top;
        previousBottom = bottom;
        previousDrawn = true;
    }
}
