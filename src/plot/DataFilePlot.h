#pragma once
// The graph of a data file as a figure for a report: the application's graph area, drawn offscreen
// by its renderer (PNG) or as lines (SVG), with scales, times, legend and title around it.
#include <QByteArray>
#include <QImage>
#include <QRect>
#include <string>
#include <vector>

#include "display/DisplayColors.h"
#include "plot/PlotOptions.h"

struct TPlotFigureOutput {
    QImage image;    // PNG output
    QByteArray svg;  // SVG output
    QSize size;      // the figure's
    QRect area;      // where the graph area lies in the figure
    // For standard error: the view chosen for the operator, readings beyond the scale.
    std::vector<std::string> notes;
};

// The figure of the file's records as the options ask; false with error set when the file cannot
// be read or lacks the record or channel asked for.
bool PlotDataFile(const TPlotOptions& options, const TDisplayColors& colors, TPlotFigureOutput& output,
                  std::string& error);
