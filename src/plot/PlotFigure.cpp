#include "plot/PlotFigure.h"

#include <QFontInfo>
#include <QFontMetrics>
#include <algorithm>

#include "data/SamplingRate.h"
#include "display/DialogFont.h"
#include "display/GraphScaleNames.h"
#include "files/CodeTables.h"

namespace {

constexpr int kPad = 12;
constexpr int kLabelPixels = 13;
constexpr int kTitlePixels = 15;
// The legend's mark: a piece of the channel's line on the graph's background.
constexpr int kSwatchWidth = 28;
constexpr int kSwatchHeight = 12;
const QColor kInk(0x20, 0x20, 0x20);
const QColor kFrame(0x90, 0x90, 0x90);

QFont PixelFont(int pixels, bool bold) {
    QFont font = DialogFont();
    font.setPixelSize(pixels);
    font.setBold(bold);
    // The family the text was measured in, which an SVG names for its viewers.
    font.setFamily(QFontInfo(font).family());
    return font;
}

QString Text(const std::string& text) {
    return QString::fromStdString(text);
}

// The y of grid line i of ten over an area of height h, as the renderer draws it.
int GridY(const QRect& area, int line) {
    return area.top() + static_cast<int>(line * (area.height() / 10.0));
}

int GridX(const QRect& area, int line) {
    return area.left() + static_cast<int>(area.width() / 10.0 * line);
}

}  // namespace

CPlotFigure::CPlotFigure(const CMeasurementDataManager& store, const TPlotView& view,
                         const TDisplayColors& colors, std::string title, QSize areaSize)
    : m_store(store),
      m_view(view),
      m_colors(colors),
      m_title(std::move(title)),
      m_font(PixelFont(kLabelPixels, false)),
      m_titleFont(PixelFont(kTitlePixels, true)),
      m_area(QPoint(0, 0), areaSize) {
    for (int k = 1; k <= CMeasurementDataManager::kChannels; ++k) {
        if (!m_view.channels.test(static_cast<size_t>(k)))
            continue;
        const std::string& comment = m_store.Channel(k).Comment();
        m_legend.push_back({k, Text("CH" + std::to_string(k) + (comment.empty() ? "" : "  " + comment))});
    }
    Layout();
}

void CPlotFigure::Layout() {
    const QFontMetrics label(m_font);
    const QFontMetrics title(m_titleFont);
    const TTemperatureRange range = m_view.temperature.Range();
    int scaleWidth =
        label.horizontalAdvance(Text("[" + VEK::TemperatureUnitName(m_store.TemperatureUnit()) + "]"));
    for (int32_t degrees : {range.top, range.bottom})
        scaleWidth = std::max(scaleWidth, label.horizontalAdvance(QString::number(degrees)));
    const int timeWidth = label.horizontalAdvance(QStringLiteral("00:00:00"));
    const int dateWidth = label.horizontalAdvance(QStringLiteral("0000/00/00"));
    const int left = kPad + std::max(scaleWidth + label.averageCharWidth(), dateWidth / 2);
    const int right = kPad + std::max(timeWidth, dateWidth) / 2;
    // The title, half a line, the unit's line, then the top number centred on the area's edge.
    const int top = kPad + title.height() + label.height() / 2 + label.height() + label.height() / 2 + 2;
    m_area.moveTopLeft(QPoint(left, top));
    const int width = left + m_area.width() + right;
    const int timeLines = DatesShown() ? 2 : 1;
    m_legendTop = m_area.bottom() + 1 + label.height() / 2 + timeLines * label.height() + label.height();
    m_legendColumnWidth = kSwatchWidth + label.averageCharWidth() * 2;
    int widest = 0;
    for (const TLegendEntry& entry : m_legend) widest = std::max(widest, label.horizontalAdvance(entry.text));
    m_legendColumnWidth += widest + 2 * label.averageCharWidth();
    m_legendColumns = std::max(1, (width - 2 * kPad) / m_legendColumnWidth);
    const int rows = static_cast<int>((m_legend.size() + m_legendColumns - 1) / m_legendColumns);
    m_size = QSize(width, m_legendTop + rows * (label.height() + 4) + kPad);
}

std::string CPlotFigure::Title() const {
    const uint32_t records = m_store.RecordCount();
    const std::string rate = VEK::SamplingRateName(static_cast<int>(m_store.SamplingRateCode()));
    std::string text = m_title + "   started " + m_store.StartTime().Format("%Y/%m/%d %H:%M:%S") +
                       "   every " + rate + "   ";
    if (records == 0)
        return text + "no records";
    return text + "records " + std::to_string(m_view.time.start) + " to " +
           std::to_string(m_view.LastShown(records)) + " of " + std::to_string(records) + "   " +
           m_view.timeDivName + " / " +
           TempDivName(m_view.temperature.tempDivIndex, m_store.TemperatureUnit()) + " a division";
}

std::vector<std::string> CPlotFigure::TimeLabels() const {
    const bool dates = DatesShown();
    std::vector<std::string> labels;
    std::string previousDate;
    for (int line = 0; line <= 10; ++line) {
        const VEK::CSystemTime time = LineTime(line);
        const std::string date = time.Format("%Y/%m/%d");
        labels.push_back(time.Format("%H:%M:%S") + (dates && date != previousDate ? "\n" + date : ""));
        previousDate = date;
    }
    return labels;
}

std::vector<std::string> CPlotFigure::TemperatureLabels() const {
    const TTemperatureRange range = m_view.temperature.Range();
    const int32_t step = m_view.temperature.DegreesPerDivision();
    std::vector<std::string> labels;
    for (int line = 0; line <= 10; ++line) labels.push_back(std::to_string(range.top - step * line));
    return labels;
}

VEK::CSystemTime CPlotFigure::LineTime(int line) const {
    // The data file's row times: the start without its milliseconds, plus whole periods.
    VEK::CSystemTime base = m_store.StartTime();
    base.millisecond = 0;
    const uint64_t record =
        m_view.time.start + uint64_t{m_view.RecordsPerDivision()} * static_cast<uint64_t>(line);
    return base.AddMilliseconds(static_cast<int64_t>(record * m_view.time.samplingInterval));
}

bool CPlotFigure::DatesShown() const {
    return LineTime(0).Format("%Y%m%d") != LineTime(10).Format("%Y%m%d");
}

void CPlotFigure::Paint(QPainter& painter, const TAreaPainter& paintArea) const {
    painter.fillRect(QRect(QPoint(0, 0), m_size), Qt::white);
    painter.setPen(kInk);
    painter.setFont(m_titleFont);
    const QFontMetrics title(m_titleFont);
    const QRect titleRect(kPad, kPad, m_size.width() - 2 * kPad, title.height());
    painter.drawText(titleRect, Qt::AlignLeft | Qt::AlignVCenter,
                     title.elidedText(Text(Title()), Qt::ElideMiddle, titleRect.width()));
    paintArea(painter, m_area);
    painter.setFont(m_font);
    painter.setPen(kInk);
    PaintTemperatureScale(painter);
    PaintTimeScale(painter);
    PaintLegend(painter);
}

void CPlotFigure::PaintTemperatureScale(QPainter& painter) const {
    const QFontMetrics label(m_font);
    const int right = m_area.left() - label.averageCharWidth();
    const std::vector<std::string> degrees = TemperatureLabels();
    for (int line = 0; line <= 10; ++line) {
        const int y = GridY(m_area, line);
        painter.drawText(QRect(0, y - label.height() / 2, right, label.height()),
                         Qt::AlignRight | Qt::AlignVCenter, Text(degrees[static_cast<size_t>(line)]));
    }
    const QString unit = Text("[" + VEK::TemperatureUnitName(m_store.TemperatureUnit()) + "]");
    painter.drawText(QRect(0, m_area.top() - label.height() / 2 - 2 - label.height(), right, label.height()),
                     Qt::AlignRight | Qt::AlignVCenter, unit);
}

void CPlotFigure::PaintTimeScale(QPainter& painter) const {
    const QFontMetrics label(m_font);
    const int top = m_area.bottom() + 1 + label.height() / 2;
    const int half = label.horizontalAdvance(QStringLiteral("0000/00/00")) / 2 + 2;
    const std::vector<std::string> times = TimeLabels();
    for (int line = 0; line <= 10; ++line) {
        const int x = GridX(m_area, line);
        painter.drawText(QRect(x - half, top, 2 * half, 2 * label.height()), Qt::AlignHCenter | Qt::AlignTop,
                         Text(times[static_cast<size_t>(line)]));
    }
}

void CPlotFigure::PaintLegend(QPainter& painter) const {
    const QFontMetrics label(m_font);
    const int rowHeight = label.height() + 4;
    for (size_t i = 0; i < m_legend.size(); ++i) {
        const int column = static_cast<int>(i % static_cast<size_t>(m_legendColumns));
        const int row = static_cast<int>(i / static_cast<size_t>(m_legendColumns));
        const int x = kPad + column * m_legendColumnWidth;
        const int y = m_legendTop + row * rowHeight;
        const QRect swatch(x, y + (label.height() - kSwatchHeight) / 2, kSwatchWidth, kSwatchHeight);
        painter.fillRect(swatch, QColor(m_colors.Rgb(TDisplayColors::kBackground)));
        painter.setPen(QPen(QColor(m_colors.Rgb(m_legend[i].channel)), 3));
        painter.drawLine(swatch.left() + 4, swatch.center().y(), swatch.right() - 4, swatch.center().y());
        painter.setPen(kFrame);
        painter.drawRect(swatch.adjusted(0, 0, -1, -1));
        painter.setPen(kInk);
        painter.drawText(
            QRect(swatch.right() + label.averageCharWidth(), y, m_legendColumnWidth, label.height()),
            Qt::AlignLeft | Qt::AlignVCenter, m_legend[i].text);
    }
}
