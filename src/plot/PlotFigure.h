#pragma once
// A graph that stands alone in a report: a title line (file, start time, sampling rate, records),
// the temperature scale with its unit left of the graph area, the clock times of the divisions
// below it (with the date where the view crosses midnight) and a legend of the drawn channels.
// The graph area itself is painted by the caller: a picture for PNG, lines for SVG.
#include <QFont>
#include <QPainter>
#include <QRect>
#include <QSize>
#include <functional>
#include <string>
#include <vector>

#include "data/MeasurementDataManager.h"
#include "display/DisplayColors.h"
#include "plot/PlotView.h"

class CPlotFigure {
public:
    using TAreaPainter = std::function<void(QPainter& painter, const QRect& area)>;

    // All borrowed; they outlive the figure. title: the file's name. areaSize: the graph area.
    CPlotFigure(const CMeasurementDataManager& store, const TPlotView& view, const TDisplayColors& colors,
                std::string title, QSize areaSize);

    QSize Size() const { return m_size; }
    // Where the graph area lies in the figure.
    QRect Area() const { return m_area; }
    // The whole figure on a white page, the area by paintArea.
    void Paint(QPainter& painter, const TAreaPainter& paintArea) const;

    // "x.csv   started 2026/03/14 10:00:00   every 1sec   records 0 to 599 of 600   1min / 20deg C
    // a division".
    std::string Title() const;
    // The clock times of the eleven grid lines from the left ("10:05:00"), each with "\n" and its
    // date where the view crosses midnight and the date is new.
    std::vector<std::string> TimeLabels() const;
    // The degrees of the eleven grid lines from the top.
    std::vector<std::string> TemperatureLabels() const;

private:
    struct TLegendEntry {
        int channel;
        QString text;
    };

    void Layout();
    // The clock time of the grid line i (0 .. 10).
    VEK::CSystemTime LineTime(int line) const;
    bool DatesShown() const;
    void PaintTemperatureScale(QPainter& painter) const;
    void PaintTimeScale(QPainter& painter) const;
    void PaintLegend(QPainter& painter) const;

    const CMeasurementDataManager& m_store;
    const TPlotView& m_view;
    const TDisplayColors& m_colors;
    std::string m_title;
    QFont m_font;
    QFont m_titleFont;
    std::vector<TLegendEntry> m_legend;
    QSize m_size;
    QRect m_area;
    int m_legendTop = 0;
    int m_legendColumnWidth = 0;
    int m_legendColumns = 1;
};
