#include "display/GraphRenderer.h"

#include <QPainter>
#include <algorithm>
#include <array>
#include <cstring>

#include "display/ChannelPlot.h"

namespace {
constexpr const char* kNoMemoryText = "Not enough memory to draw the graph.";
// The span between the cursors: each colour channel a sixth of the way to white, by table (a
// wide span lightens most of the picture's pixels).
constexpr int kShadeLift = 43;

QRgb Lightened(QRgb pixel) {
    static const std::array<uint8_t, 256> lifted = [] {
        std::array<uint8_t, 256> table{};
        for (int c = 0; c < 256; ++c) table[c] = static_cast<uint8_t>(c + (255 - c) * kShadeLift / 256);
        return table;
    }();
    return qRgb(lifted[qRed(pixel)], lifted[qGreen(pixel)], lifted[qBlue(pixel)]);
}
}  // namespace

bool CGraphRenderer::BuildGrid(QImage& layer, QRgb background) {
    // Three pixels more each way: the outer lines' pens are centred on the area's edges.
    const QSize size(m_width + 3, m_height + 3);
    if (layer.size() != size) {
        layer = QImage();
        layer = QImage(size, QImage::Format_RGB32);
    }
    if (layer.isNull())
        return false;
    layer.fill(background);
    QPainter painter(&layer);
    for (int i = 0; i <= 10; ++i) {
        painter.setPen(QPen(QColor(m_colors.Rgb(TDisplayColors::kGrid)), i == 0 || i == 10 ? 4 : 1,
                            Qt::SolidLine, Qt::SquareCap));
        const int y = static_cast<int>(i * (m_height / 10.0));
        painter.drawLine(0, y, m_width, y);
        const int x = static_cast<int>(m_width / 10.0 * i);
        painter.drawLine(x, 0, x, m_height);
    }
    return true;
}

bool CGraphRenderer::Rebuild(int width, int height, const TDisplayColors& colors) {
    width = std::max(width, 0);
    height = std::max(height, 0);
    // The grid depends on the size and the colours alone.
    const bool gridsKept = !m_grid.isNull() && !m_holdGrid.isNull() && width == m_width &&
                           height == m_height && colors == m_colors;
    m_width = width;
    m_height = height;
    m_colors = colors;
    const int layerWidth = std::max(m_width * 12 / 10, 1);
    const bool data = m_data.Allocate(layerWidth, std::max(m_height, 1));
    const bool grids = gridsKept || (BuildGrid(m_grid, m_colors.Rgb(TDisplayColors::kBackground)) &&
                                     BuildGrid(m_holdGrid, m_colors.Rgb(TDisplayColors::kHoldBackground)));
    m_complete = data && grids;
    return m_complete;
}

void CGraphRenderer::PlotChannel(const TGraphGeometry& geometry, const CMeasurementDataManager& store,
                                 const CGraphChannelVisibility& visibility, int channel, uint32_t first,
                                 uint32_t count) {
    const CMeasurementChannel& series = store.Channel(channel);
    if (!series.InUse() || !visibility.Shown(channel))
        return;
    CChannelPlot(m_data, geometry).Plot(series, m_colors.Rgb(channel), first, count);
}

void CGraphRenderer::PlotAllChannels(const TGraphGeometry& geometry, const CMeasurementDataManager& store,
                                     const CGraphChannelVisibility& visibility, bool clear) {
    if (clear)
        ClearDataLayer();
    const uint32_t records = geometry.recordCount;
    if (records <= geometry.start)
        return;
    const uint64_t last =
        std::min<uint64_t>(records - 1, uint64_t{geometry.start} + geometry.recordsPerDivision * 10);
    const auto count = static_cast<uint32_t>(last - geometry.start + 1);
    for (int channel = 1; channel <= CMeasurementDataManager::kChannels; ++channel)
        PlotChannel(geometry, store, visibility, channel, geometry.start, count);
}

void CGraphRenderer::Compose(bool hold, int cursorX, QImage& picture, const TSpanMarks& span) const {
    if (m_width <= 0 || m_height <= 0) {
        picture = QImage(1, 1, QImage::Format_RGB32);
        return;
    }
    if (picture.size() != QSize(m_width, m_height) || picture.format() != QImage::Format_RGB32) {
        picture = QImage();
        picture = QImage(m_width, m_height, QImage::Format_RGB32);
    }
    if (picture.isNull())
        return;
    const QImage& grid = hold ? m_holdGrid : m_grid;
    if (grid.isNull())
        picture.fill(m_colors.Rgb(hold ? TDisplayColors::kHoldBackground : TDisplayColors::kBackground));
    const QImage& data = m_data.Image();
    const int shadeFrom = std::max(span.shadeFrom, 0);
    const int shadeTo = std::min(span.shadeTo, m_width - 1);
    for (int y = 0; y < m_height; ++y) {
        auto* out = reinterpret_cast<QRgb*>(picture.scanLine(y));
        if (!grid.isNull())
            std::memcpy(out, grid.constScanLine(y), static_cast<size_t>(m_width) * sizeof(QRgb));
        for (int x = shadeFrom; x <= shadeTo; ++x) out[x] = Lightened(out[x]);
        if (data.isNull() || y >= data.height())
            continue;
        // Lines are opaque and the rest transparent: no blending needed.
        const auto* line = reinterpret_cast<const QRgb*>(data.constScanLine(y));
        for (int x = 0; x < m_width; ++x) {
            if (line[x] != 0)
                out[x] = line[x];
        }
    }
    QPainter painter(&picture);
    if (!m_complete) {
        painter.setPen(QColor(m_colors.Rgb(TDisplayColors::kCursor)));
        painter.drawText(picture.rect(), Qt::AlignCenter | Qt::TextWordWrap, kNoMemoryText);
    }
    if (cursorX >= 0) {
        painter.setPen(QPen(QColor(m_colors.Rgb(TDisplayColors::kCursor)), 2));
        painter.drawLine(cursorX, 0, cursorX, m_height - 1);
    }
    if (span.cursorBX >= 0) {
        painter.setPen(QPen(QColor(m_colors.Rgb(TDisplayColors::kCursor)), 2, Qt::DashLine, Qt::FlatCap));
        painter.drawLine(span.cursorBX, 0, span.cursorBX, m_height - 1);
    }
}

size_t CGraphRenderer::LayerBytes() const {
    return m_data.Bytes() + static_cast<size_t>(m_grid.sizeInBytes() + m_holdGrid.sizeInBytes());
}
