#include "plot/DataFilePlot.h"

#include "display/Graph.h"
#include "files/DataFile.h"

namespace {

// The graph's timers are not needed: the picture is drawn at once.
class CNoTimers : public CGraph::IHost {
public:
    void StartTimer(int, int) override {}
    void StopTimer(int) override {}
    bool LeftButtonDown() const override { return false; }
};

}  // namespace

bool PlotDataFile(const TPlotOptions& options, const TDisplayColors& colors, QImage& picture,
                  std::string& error) {
    CMeasurementDataManager store;
    VEK::TDataFileView view;
    if (!VEK::ReadDataFileUnlogged(options.dataFile, store, view)) {
        error = "cannot read the data file " + options.dataFile +
                (view.problem.empty() ? "" : ": " + view.problem);
        return false;
    }
    if (!options.timeDiv.empty())
        view.scales.timeDiv = options.timeDiv;
    if (!options.tempDiv.empty())
        view.scales.tempDiv = options.tempDiv;
    CGraphChannelVisibility visibility;
    CNoTimers timers;
    CGraph graph(store, visibility, timers);
    graph.SetColors(colors);
    graph.SetTemperatureUnit(store.TemperatureUnit());
    graph.ApplyDataFileView(view);
    if (options.start) {
        const uint32_t division = graph.TimeAxis().SamplesPerDivision();
        graph.ScrollTime(
            static_cast<int>(std::min<uint32_t>(*options.start / division, graph.TimeScroll().maximum)));
    }
    if (options.cursor && !graph.PlaceCursor(*options.cursor)) {
        error = "no record " + std::to_string(*options.cursor) + " in the file";
        return false;
    }
    graph.AreaResized(options.width, options.height);
    graph.OnTimer(CGraph::kTimerFullRedraw);
    picture = graph.Picture();
    return true;
}
