#include "plot/VectorGraphArea.h"

#include <QPainterPath>
#include <QPolygonF>
#include <algorithm>
#include <vector>

void CVectorGraphArea::Paint(QPainter& painter, const QRect& area) const {
    painter.save();
    painter.setClipRect(area);
    painter.fillRect(area, QColor(m_colors.Rgb(TDisplayColors::kBackground)));
    PaintGrid(painter, area);
    painter.translate(area.topLeft());
    painter.setRenderHint(QPainter::Antialiasing, true);
    for (int k = 1; k <= CMeasurementDataManager::kChannels; ++k) {
        const CMeasurementChannel& channel = m_store.Channel(k);
        if (!m_channels.test(static_cast<size_t>(k)) || !channel.InUse())
            continue;
        if (m_geometry.Thinned())
            PaintBands(painter, channel, m_colors.Rgb(k));
        else
            PaintLines(painter, channel, m_colors.Rgb(k));
    }
    if (m_cursorX) {
        painter.setPen(QPen(QColor(m_colors.Rgb(TDisplayColors::kCursor)), 2));
        painter.drawLine(QLineF(*m_cursorX, 0, *m_cursorX, area.height()));
    }
    painter.restore();
}

void CVectorGraphArea::PaintGrid(QPainter& painter, const QRect& area) const {
    const QColor grid(m_colors.Rgb(TDisplayColors::kGrid));
    for (int i = 0; i <= 10; ++i) {
        painter.setPen(QPen(grid, i == 0 || i == 10 ? 4 : 1, Qt::SolidLine, Qt::SquareCap));
        const int y = area.top() + static_cast<int>(i * (area.height() / 10.0));
        const int x = area.left() + static_cast<int>(area.width() / 10.0 * i);
        painter.drawLine(area.left(), y, area.right() + 1, y);
        painter.drawLine(x, area.top(), x, area.bottom() + 1);
    }
}

void CVectorGraphArea::PaintLines(QPainter& painter, const CMeasurementChannel& channel, QRgb color) const {
    const TGraphGeometry& g = m_geometry;
    // The record before the left edge gives the first line its start; the one past the right edge
    // its end.
    const uint64_t from = g.start > 0 ? g.start - 1 : 0;
    const uint64_t end =
        std::min<uint64_t>(uint64_t{g.start} + uint64_t{g.recordsPerDivision} * 10 + 2, g.recordCount);
    if (from >= end)
        return;
    std::vector<int16_t> readings(end - from);
    readings.resize(channel.CopyReadings(from, readings.size(), readings.data()));
    QPen pen(QColor(color), g.dx >= 2.0 ? 2 : 1);
    pen.setJoinStyle(Qt::RoundJoin);
    pen.setCapStyle(Qt::RoundCap);
    painter.setPen(pen);
    QPolygonF line;
    const auto flush = [&] {
        // A reading alone between gaps: a short stub, as the window shows it.
        if (line.size() == 1)
            line.prepend(line.front() - QPointF(1, 0));
        if (!line.isEmpty())
            painter.drawPolyline(line);
        line.clear();
    };
    for (size_t j = 0; j < readings.size(); ++j) {
        if (!IsValidReading(readings[j])) {
            flush();
            continue;
        }
        const double x = (static_cast<double>(from + j) - g.start) * g.dx;
        line.append(QPointF(x, g.Y(readings[j])));
    }
    flush();
}

void CVectorGraphArea::PaintBands(QPainter& painter, const CMeasurementChannel& channel, QRgb color) const {
    const TGraphGeometry& g = m_geometry;
    const TEnvelopeGrid grid = g.Columns();
    // The area's columns and the one at its right edge.
    const size_t columns = std::min(grid.columns, static_cast<size_t>(g.width) + 1);
    std::vector<TReadingExtremes> extremes(columns);
    channel.Envelope(grid, 0, columns, extremes.data());
    painter.setPen(QPen(QColor(color), 1));
    painter.setBrush(QColor(color));
    // One polygon for each run of columns with readings: along the highest readings, back along
    // the lowest; a column's band covers its pixel's width.
    QPolygonF band;
    std::vector<QPointF> lower;
    const auto flush = [&] {
        if (band.isEmpty())
            return;
        for (auto it = lower.rbegin(); it != lower.rend(); ++it) band.append(*it);
        painter.drawPolygon(band);
        band.clear();
        lower.clear();
    };
    for (size_t c = 0; c < columns; ++c) {
        if (extremes[c].Empty()) {
            flush();
            continue;
        }
        const double left = static_cast<double>(c);
        const double top = g.Y(extremes[c].max);
        const double bottom = g.Y(extremes[c].min) + 1;
        band.append(QPointF(left, top));
        band.append(QPointF(left + 1, top));
        lower.emplace_back(left, bottom);
        lower.emplace_back(left + 1, bottom);
    }
    flush();
}
