#pragma once
#include <QObject>

#include "app/MainDlgControls.h"
#include "controller/MeasurementController.h"
#include "dialogs/DeletionCursor.h"
#include "display/GraphChannelVisibility.h"
#include "display/GraphPanel.h"
#include "files/DataFileView.h"
#include "files/GraphScaleSettings.h"

// The graph in the main window: its area in place of the window's graph static, the window's graph
// buttons, bars and read-outs bound to it, the run's notifications, and its scales kept between
// runs and in the data files. Its cursor decides the partial deletions.
class CMainDlgGraph : public QObject, public IDeletionCursor {
    Q_OBJECT
public:
    // All borrowed; they outlive the graph.
    CMainDlgGraph(CMainDlgControls& controls, CMeasurementController& controller, QWidget* window);

    CGraph& Graph() { return m_panel.Graph(); }
    const CGraph& Graph() const { return m_panel.Graph(); }
    CGraphChannelVisibility& Visibility() { return m_visibility; }

    // Start-up: the scales kept in the settings, the colours of define.ini (the read-outs' too), the
    // display unit.
    void Start(const VEK::TGraphScaleSettings& scales, uint32_t unit);
    // The scales as the settings keep them.
    VEK::TGraphScaleSettings Scales() const { return Graph().SaveGraphScales(m_unit); }
    // A loaded file's scales and left edge.
    void ApplyLoadedView(const VEK::TDataFileView& view);
    // The settings' temperature unit changed (setup dialog, imported setup).
    void SetDisplayUnit(uint32_t unit);
    // The unit of what is shown: the data's, or the settings' without data. The scale and the unit
    // label name it.
    uint32_t DisplayUnit() const;

    bool CursorOn() const override { return Graph().CursorOn(); }
    uint32_t ViewStart() const override { return Graph().TimeAxis().start; }
    uint32_t CursorOffset() const override { return Graph().CursorOffset(); }
    void DataCut(bool before) override { Graph().DataCut(before); }

private:
    void FollowStoreUnit();

    const CMainDlgControls& m_controls;
    CMeasurementController& m_controller;
    CGraphChannelVisibility m_visibility;
    CGraphPanel m_panel;
    uint32_t m_unit = 0;
};
