#pragma once
// The graph of a data file drawn offscreen by the application's graph and renderer.
#include <QImage>
#include <string>

#include "display/DisplayColors.h"
#include "plot/PlotOptions.h"

// The picture of the file's records with the options' scales, edge and cursor; false with error
// set when the file cannot be read.
bool PlotDataFile(const TPlotOptions& options, const TDisplayColors& colors, QImage& picture,
                  std::string& error);
