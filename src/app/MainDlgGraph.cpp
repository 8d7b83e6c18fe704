#include "app/MainDlgGraph.h"

#include "display/DisplayColors.h"
#include "files/Settings.h"

namespace {

using Ids = CMainDlgControls;

TGraphControls ControlsOf(const CMainDlgControls& controls) {
    auto button = [&](int id) { return controls.Button(id); };
    auto label = [&](int id) { return controls.Label(id); };
    auto bar = [&](int id) { return controls.ScrollBar(id); };
    TGraphControls graph;
    graph.timeDivUp = button(1001);
    graph.timeDivDown = button(1002);
    graph.tempDivUp = button(1005);
    graph.tempDivDown = button(1006);
    graph.autoScale = button(1007);
    graph.cursorLeft = button(1008);
    graph.cursorRight = button(1009);
    graph.cursor = button(1010);
    graph.cursorB = button(Ids::kCursorB);
    graph.timeBar = bar(1023);
    graph.temperatureBar = bar(1024);
    graph.timeDiv = label(1011);
    graph.cursorTime = label(1012);
    graph.tempDiv = label(1013);
    graph.top = label(1025);
    graph.centre = label(1026);
    graph.elapsed = label(Ids::kElapsedReadout);
    graph.bottom = label(1029);
    return graph;
}

// The unit and the graph's temperature and time read-outs are written in the graph's text colour.
void ColourReadouts(const CMainDlgControls& controls, QRgb colour) {
    for (int id :
         {static_cast<int>(Ids::kUnitLabel), 1025, 1026, 1029, static_cast<int>(Ids::kElapsedReadout)}) {
        QLabel* label = controls.Label(id);
        QPalette palette = label->palette();
        palette.setColor(QPalette::WindowText, QColor::fromRgb(colour));
        label->setPalette(palette);
    }
}

}  // namespace

CMainDlgGraph::CMainDlgGraph(CMainDlgControls& controls, CMeasurementController& controller, QWidget* window)
    : QObject(window),
      m_controls(controls),
      m_controller(controller),
      m_panel(controller.Store(), m_visibility, window) {
    controls.SetGraphArea(m_panel.Area());
    m_panel.Bind(ControlsOf(controls));
}

void CMainDlgGraph::Start(const VEK::TGraphScaleSettings& scales, uint32_t unit) {
    m_unit = unit;
    Graph().SetTemperatureUnit(unit);
    Graph().LoadGraphScales(scales);
    Graph().SetColors(LoadDisplayColors(VEK::DefineParameterSection()));
    ColourReadouts(m_controls, Graph().Colors().Rgb(TDisplayColors::kText));
    // From now on the run's notifications reach the graph and data files record its view.
    m_panel.Connect(m_controller);
    connect(&m_controller, &CMeasurementSignals::rebuildRequested, this, &CMainDlgGraph::FollowStoreUnit);
}

void CMainDlgGraph::FollowStoreUnit() {
    // Stored readings are in the unit of their run or file; without data the settings' unit holds.
    const CMeasurementDataManager& store = m_controller.Store();
    Graph().SetTemperatureUnit(
        store.State() == CMeasurementDataManager::kStateEmpty ? m_unit : store.TemperatureUnit());
}

void CMainDlgGraph::SetDisplayUnit(uint32_t unit) {
    m_unit = unit;
    FollowStoreUnit();
}

void CMainDlgGraph::ApplyLoadedView(const VEK::TDataFileView& view) {
    FollowStoreUnit();
    Graph().ApplyDataFileView(view);
}
