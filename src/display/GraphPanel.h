#pragma once
// The graph with its controls: the graph area, the buttons [1001] .. [1010], the scroll bars
// [1023] and [1024] and the read-outs, wired to the graph's operations and refreshed from its
// state; the graph's numbered timers; the run's notifications from the measurement controller.
// The main window owns the panel and places the controls; the panel creates only the area.
#include <QAbstractButton>
#include <QLabel>
#include <QObject>

#include "controller/TimerHost.h"
#include "display/Graph.h"
#include "display/GraphArea.h"
#include "display/ScrollBarEx.h"

class CMeasurementController;

// The controls the main window made (borrowed; any may be null).
struct TGraphControls {
    QAbstractButton* timeDivUp = nullptr;              // [1001]
    QAbstractButton* timeDivDown = nullptr;            // [1002]
    QAbstractButton* tempDivUp = nullptr;              // [1005]
    QAbstractButton* tempDivDown = nullptr;            // [1006]
    QAbstractButton* autoScale = nullptr;              // [1007] "AUTO"
    QAbstractButton* cursorLeft = nullptr;             // [1008]
    QAbstractButton* cursorRight = nullptr;            // [1009]
    QAbstractButton* cursor = nullptr;                 // [1010] "CURSOR"
    QAbstractButton* cursorB = nullptr;                // [1047] "B"
    VEK::MFC::CScrollBarEx* timeBar = nullptr;         // [1023]
    VEK::MFC::CScrollBarEx* temperatureBar = nullptr;  // [1024]
    QLabel* timeDiv = nullptr;                         // [1011]
    QLabel* cursorTime = nullptr;                      // [1012]
    QLabel* tempDiv = nullptr;                         // [1013]
    QLabel* top = nullptr;                             // [1025]
    QLabel* centre = nullptr;                          // [1026]
    QLabel* elapsed = nullptr;                         // [1028]
    QLabel* bottom = nullptr;                          // [1029]
};

class CGraphPanel : public QObject, private CGraph::IHost {
    Q_OBJECT
public:
    // Borrowed; they outlive the panel. The area is a child of areaParent.
    CGraphPanel(const CMeasurementDataManager& store, CGraphChannelVisibility& visibility,
                QWidget* areaParent);

    CGraph& Graph() { return m_graph; }
    const CGraph& Graph() const { return m_graph; }
    CGraphArea* Area() { return m_area; }
    // Wires the controls to the graph's commands and keeps them current.
    void Bind(const TGraphControls& controls);
    // The run's notifications reach the graph; data files written from now on record its view.
    void Connect(CMeasurementController& controller);
    // Read-outs, bars and button states from the graph's state.
    void Refresh();

private:
    void StartTimer(int id, int periodMs) override { m_timers.Start(id, periodMs); }
    void StopTimer(int id) override { m_timers.Stop(id); }
    bool LeftButtonDown() const override;
    void Click(QAbstractButton* button, void (CGraph::*command)());

    CTimerHost m_timers;
    CGraph m_graph;
    CGraphArea* m_area;
    TGraphControls m_controls;
};
