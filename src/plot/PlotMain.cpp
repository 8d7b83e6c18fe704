// hollowmere-plot: the graph of a measurement data file as a PNG or SVG figure, drawn offscreen.
#include <QFile>
#include <QGuiApplication>
#include <cstdio>
#include <string>
#include <vector>

#include "files/Settings.h"
#include "plot/DataFilePlot.h"
#include "plot/PlotOptions.h"

namespace {

bool WriteOutput(const TPlotOptions& options, const TPlotFigureOutput& output) {
    const QString path = QString::fromStdString(options.outFile);
    if (!options.Svg())
        return !output.image.isNull() && output.image.save(path, "PNG");
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
           file.write(output.svg) == output.svg.size() && file.flush();
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    TPlotOptions options;
    std::string error;
    if (!options.Parse(args, error)) {
        std::fprintf(stderr, "hollowmere-plot: %s\n%s", error.c_str(), TPlotOptions::Usage());
        return 2;
    }
    if (options.help) {
        std::fputs(TPlotOptions::Usage(), stdout);
        return 0;
    }
    // No display needed, nor wanted.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    // The installation's colours, as the application shows them.
    const TDisplayColors colors = LoadDisplayColors(VEK::DefineParameterSection());
    TPlotFigureOutput output;
    if (!PlotDataFile(options, colors, output, error)) {
        std::fprintf(stderr, "hollowmere-plot: %s\n", error.c_str());
        return 1;
    }
    for (const std::string& note : output.notes) std::fprintf(stderr, "hollowmere-plot: %s\n", note.c_str());
    if (!WriteOutput(options, output)) {
        std::fprintf(stderr, "hollowmere-plot: cannot write %s\n", options.outFile.c_str());
        return 1;
    }
    return 0;
}
