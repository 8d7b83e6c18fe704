// The main window's setup commands: the setup dialog (also at start-up until a system number is
// set), Export and Import Setup, and the partial deletions.
#include "app/MainDlg.h"
#include "dialogs/PartialDeletion.h"
#include "dialogs/SetupDlg.h"
#include "dialogs/SetupFileCommands.h"
#include "files/Settings.h"

namespace {
using Ids = CMainDlgControls;
}  // namespace

void CMainDlg::ConnectSetupCommands() {
    const std::pair<int, void (CMainDlg::*)()> commands[] = {
        {Ids::kExportSetup, &CMainDlg::ExportSetup},
        {Ids::kImportSetup, &CMainDlg::ImportSetup},
        {Ids::kDeleteBefore, &CMainDlg::DeleteDataBeforeCursor},
        {Ids::kDeleteAfter, &CMainDlg::DeleteDataAfterCursor}};
    for (const auto& [command, handler] : commands)
        connect(m_controls.Action(command), &QAction::triggered, this, handler);
}

void CMainDlg::AdoptParameters(const VEK::TParameterSet& set) {
    m_controller.ReplaceParameters(set);
    m_graph.SetDisplayUnit(m_parameters.temperatureUnit);
}

void CMainDlg::Setup() {
    if (m_controller.RunState() == CMeasurementDataManager::kStateMeasuring || !DiscardCheck())
        return;
    CSetupDlg dialog(m_prompt, m_parameters, this);
    if (m_prompt.Run(dialog) != QDialog::Accepted)
        return;
    const uint32_t previous = m_parameters.systemNumber;
    AdoptParameters(dialog.Parameters());
    if (m_parameters.systemNumber == previous) {
        m_controller.ResetToIdle();
    } else {
        // The dongle stops and is configured afresh with the new number once reopened.
        m_controller.RunStopSequence();
        m_controller.DetachDongle();
    }
    RefreshStatus();
}

bool CMainDlg::RunSystemNumberGate() {
    while (m_parameters.systemNumber == 0 && !m_closing) {
        CSetupDlg dialog(m_prompt, m_parameters, this);
        const bool accepted = m_prompt.Run(dialog) == QDialog::Accepted;
        if (m_closing)
            break;
        if (accepted) {
            AdoptParameters(dialog.Parameters());
            RefreshStatus();
            m_lists->RebuildLists();
        } else if (ConfirmQuit()) {
            return false;
        }
    }
    return !m_closing;
}

void CMainDlg::ExportSetup() {
    if (m_controller.RunState() != CMeasurementDataManager::kStateMeasuring)
        ::ExportSetup(m_prompt, m_parameters, m_graph.Scales());
}

void CMainDlg::ImportSetup() {
    if (m_controller.RunState() == CMeasurementDataManager::kStateMeasuring || !DiscardCheck())
        return;
    ::ImportSetup(m_prompt, m_parameters, VEK::DefineParameterSection(),
                  [this](const VEK::TParameterSet& set, const VEK::TGraphScaleSettings& scales) {
                      AdoptParameters(set);
                      m_graph.Graph().LoadGraphScales(scales);
                      m_controller.ResetToIdle();
                      RefreshStatus();
                  });
}

void CMainDlg::DeleteDataBeforeCursor() {
    DeletePartially(true);
}

void CMainDlg::DeleteDataAfterCursor() {
    DeletePartially(false);
}

void CMainDlg::DeletePartially(bool before) {
    if (!::DeletePartially(m_prompt, m_controller.Store(), m_graph,
                           before ? EDeletionSide::kBefore : EDeletionSide::kAfter))
        return;
    RefreshStatus();
    m_lists->RebuildLists();
}
