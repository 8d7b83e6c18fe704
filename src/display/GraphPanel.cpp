#include "display/GraphPanel.h"

#include <QGuiApplication>
#include <QSignalBlocker>

#include "controller/MeasurementController.h"

namespace {

void SetText(QLabel* label, const std::string& text) {
    if (label != nullptr)
        label->setText(QString::fromStdString(text));
}

void SetEnabled(QWidget* widget, bool enabled) {
    if (widget != nullptr)
        widget->setEnabled(enabled);
}

// Programmatic changes do not come back as scroll commands.
void SetScroll(QScrollBar* bar, const TScrollInfo& info) {
    if (bar == nullptr)
        return;
    const QSignalBlocker blocker(bar);
    bar->setRange(info.minimum, info.maximum);
    bar->setPageStep(info.page);
    bar->setSingleStep(1);
    bar->setValue(info.position);
}

}  // namespace

CGraphPanel::CGraphPanel(const CMeasurementDataManager& store, CGraphChannelVisibility& visibility,
                         QWidget* areaParent)
    : QObject(areaParent),
      m_timers([this](int id) { m_graph.OnTimer(id); }, this),
      m_graph(store, visibility, *this, this),
      m_area(new CGraphArea(m_graph, areaParent)) {
    connect(&m_graph, &CGraph::viewChanged, this, &CGraphPanel::Refresh);
}

bool CGraphPanel::LeftButtonDown() const {
    return (QGuiApplication::mouseButtons() & Qt::LeftButton) != 0;
}

void CGraphPanel::Click(QAbstractButton* button, void (CGraph::*command)()) {
    if (button != nullptr)
        connect(button, &QAbstractButton::clicked, &m_graph, command);
}

void CGraphPanel::Bind(const TGraphControls& controls) {
    m_controls = controls;
    Click(controls.timeDivUp, &CGraph::TimeDivUp);
    Click(controls.timeDivDown, &CGraph::TimeDivDown);
    Click(controls.tempDivUp, &CGraph::TempDivUp);
    Click(controls.tempDivDown, &CGraph::TempDivDown);
    Click(controls.autoScale, &CGraph::AutoScale);
    Click(controls.cursor, &CGraph::ToggleCursor);
    Click(controls.cursorB, &CGraph::ToggleCursorB);
    for (const auto& [button, right] :
         {std::pair{controls.cursorLeft, false}, {controls.cursorRight, true}}) {
        if (button == nullptr)
            continue;
        // Shift held: cursor B moves.
        connect(button, &QAbstractButton::pressed, &m_graph, [this, right] {
            m_graph.PressCursorButton(right, QGuiApplication::keyboardModifiers() & Qt::ShiftModifier);
        });
        connect(button, &QAbstractButton::released, &m_graph,
                [this, right] { m_graph.ReleaseCursorButton(right); });
    }
    // Every request reaches the graph, also one that cannot move the bar: a scroll during a run
    // holds the view all the same.
    using VEK::MFC::CScrollBarEx;
    if (CScrollBarEx* bar = controls.timeBar)
        connect(bar, &CScrollBarEx::scrolled, &m_graph, [this, bar] { m_graph.ScrollTime(bar->value()); });
    if (CScrollBarEx* bar = controls.temperatureBar)
        connect(bar, &CScrollBarEx::scrolled, &m_graph,
                [this, bar] { m_graph.ScrollTemperature(bar->value()); });
    Refresh();
}

void CGraphPanel::Connect(CMeasurementController& controller) {
    connect(&controller, &CMeasurementSignals::samplesStored, &m_graph, &CGraph::SamplesStored);
    connect(&controller, &CMeasurementSignals::samplingTick, &m_graph, &CGraph::SamplingTick);
    connect(&controller, &CMeasurementSignals::pollingStarted, &m_graph, &CGraph::SetSamplingInterval);
    connect(&controller, &CMeasurementSignals::rebuildRequested, &m_graph, &CGraph::DataReplaced);
    connect(&controller, &CMeasurementSignals::holdAndCursorReleased, &m_graph,
            &CGraph::ReleaseHoldAndCursor);
    connect(&m_graph, &CGraph::viewChanged, &controller,
            [this, &controller] { controller.SetDataFileView(m_graph.DataFileView()); });
    controller.SetDataFileView(m_graph.DataFileView());
}

void CGraphPanel::Refresh() {
    const TGraphReadouts readouts = m_graph.Readouts();
    SetText(m_controls.timeDiv, readouts.timeDiv);
    SetText(m_controls.tempDiv, readouts.tempDiv);
    SetText(m_controls.top, readouts.top);
    SetText(m_controls.centre, readouts.centre);
    SetText(m_controls.bottom, readouts.bottom);
    SetText(m_controls.elapsed, readouts.elapsed);
    SetText(m_controls.cursorTime, readouts.cursor);
    const TGraphAvailability available = m_graph.Availability();
    SetEnabled(m_controls.timeDivUp, available.timeDivUp);
    SetEnabled(m_controls.timeDivDown, available.timeDivDown);
    SetEnabled(m_controls.tempDivUp, available.tempDivUp);
    SetEnabled(m_controls.tempDivDown, available.tempDivDown);
    SetEnabled(m_controls.autoScale, available.autoScale);
    SetEnabled(m_controls.cursor, available.cursor);
    SetEnabled(m_controls.cursorLeft, available.cursorLeft);
    SetEnabled(m_controls.cursorRight, available.cursorRight);
    SetEnabled(m_controls.cursorB, available.cursorB);
    SetEnabled(m_controls.timeBar, available.timeBar);
    SetScroll(m_controls.timeBar, available.timeBar ? m_graph.TimeScroll() : TScrollInfo{0, 0, 10, 0});
    SetScroll(m_controls.temperatureBar, m_graph.TemperatureRange().scroll);
}
