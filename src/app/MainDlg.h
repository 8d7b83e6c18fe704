#pragma once
#include <QDialog>
#include <functional>
#include <memory>

#include "app/CommandAvailability.h"
#include "app/InformationLineWrap.h"
#include "app/MainDlgControls.h"
#include "app/MainDlgGraph.h"
#include "app/OnlyWindowChecker.h"
#include "app/StatusLine.h"
#include "app/UnsavedRunOffer.h"
#include "controller/IMeasurementView.h"
#include "controller/MeasurementController.h"
#include "controller/QuitSignalNotifier.h"
#include "counterpartwin/OppositeDlg.h"
#include "dialogs/OperatorPrompt.h"
#include "display/ChannelValueLists.h"
#include "display/LayoutDialog.h"
#include "files/DataFileView.h"
#include "files/ParameterSet.h"

// The application's main window, run modally for the life of the process: the status and
// information lines, the lists and the graph, and every command.
class CMainDlg : public VEK::MFC::CLayoutDialog, public IMeasurementView {
    Q_OBJECT
public:
    // prompt: answers every box and dialog (borrowed); by default the platform's, modal to this
    // window.
    explicit CMainDlg(IOperatorPrompt* prompt = nullptr, QWidget* parent = nullptr);
    ~CMainDlg() override;

    // Start-up up to the moment the window is ready; false when the window must not be shown
    // (another instance runs, or the operator declined to set a system number).
    bool InitDialog();
    // Saves the user's state and logs the end; nothing for a turned-away second instance.
    void OnDestroy();

    const VEK::TParameterSet& ParameterSet() const { return m_parameters; }
    CMeasurementController& Controller() { return m_controller; }
    const CMainDlgControls& Controls() const { return m_controls; }
    const CStatusLine& StatusLine() const { return m_statusLine; }
    const CListPaging& Paging() const { return m_lists->Paging(); }
    // The five channel value lists; the graph shows and hides channels through list 0's row header.
    CChannelValueLists& ValueLists() { return *m_lists; }
    CMainDlgGraph& Graph() { return m_graph; }

    // The in-process simulated dongle's session (hollowmere --simulate), set before InitDialog:
    // the counterpart window then fronts it instead of connecting a session of its own.
    void SetSimulatedSession(COppositeSession* session) { m_simulatedSession = session; }
    // The counterpart window (hidden, without parent) that a Shift+click on a menu button shows
    // while the development TCP server runs; made by InitDialog.
    COppositeDlg* CounterpartWindow() const { return m_counterpart.get(); }

    void ShowMessage(EIcon icon, const std::string& text) override;
    bool WaitForStopConfirmation(const std::function<bool()>& stopped) override;

public slots:
    // Escape, the window's Close and the Exit command: asks first.
    void QuitRequest();
    // Quits without asking.
    void ConfirmedQuit();
    // SIGTERM/SIGINT: quits without asking, the wait for the dongle's stop limited.
    void QuitOnSignal();
    void ShowAbout();
    // The Start/Stop command.
    void StartStop();
    // A menu button: its menu at the button's lower left corner (or the counterpart window).
    void OpenMenu(int buttonId);

    void SaveData();
    void LoadData();
    // File > Recover Unsaved Runs…
    void RecoverUnsavedRuns();
    void ClearAllData();
    // Command 32790: the graph shown or hidden.
    void ToggleGraphDisplay();
    void Setup();
    void ExportSetup();
    void ImportSetup();
    void DeleteDataBeforeCursor();
    void DeleteDataAfterCursor();
    void AdjustOffset();
    // Combo box 1044: 1, 2 or 4 lists without the graph.
    void SetListCount(int index);
    void PageBack();
    void PageForward();

protected:
    void reject() override { QuitRequest(); }
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void ConnectCommands();
    void ConnectGraph();
    // Run state, connection or data changed: status and information lines, button and menu
    // states.
    void RefreshStatus();
    void RefreshInformationLine();
    // A box for a working file that a run cannot write, once for each time it starts failing.
    void TellWorkingFileProblem();
    void RefreshMenus();
    void RefreshCounterpartTitle();
    void CreateCounterpartWindow();
    // The display mode as it stands: which controls show and where, then the lists.
    void ApplyDisplayMode();
    // The arrangement of the display mode, from the controls' natural sizes now.
    void Arrange();
    // [1040] and [1041] as the lists' paging allows.
    void RefreshPageButtons();
    // Export and Import Setup, the partial deletions (MainDlgSetup.cpp).
    void ConnectSetupCommands();
    // Start-up: the setup dialog until a system number is set; false when the operator quits.
    bool RunSystemNumberGate();
    // The setup dialog's or a setup file's parameter set in place of the one in use.
    void AdoptParameters(const VEK::TParameterSet& set);
    void DeletePartially(bool before);
    // Readings go to the MQTT broker that define.ini names, if it names one.
    void StartPublishing();
    // Once the window is up: the runs that were never saved, offered back.
    void OfferUnsavedRuns();
    CUnsavedRunOffer::EOpen OpenUnsavedRun(const std::string& path);
    bool ConfirmQuit();
    // Finished data that were never saved, or changed since: asks before they are discarded.
    bool DiscardCheck();
    // A run still measuring is finished as Stop does (automatic save included), then the dongle is
    // brought to standby.
    void EndMeasurementForQuit();
    void Tell(IOperatorPrompt::EIcon icon, const std::string& text) { m_prompt.Tell(icon, text); }

    std::unique_ptr<IOperatorPrompt> m_ownPrompt;
    IOperatorPrompt& m_prompt;
    COnlyWindowChecker m_onlyWindow;
    CQuitSignalNotifier m_quitSignals;
    VEK::TParameterSet m_parameters;
    CMeasurementController m_controller{m_parameters, *this};
    CMainDlgControls m_controls{this};
    CStatusLine m_statusLine{m_controls.Label(CMainDlgControls::kStatus)};
    CInformationLineWrap m_informationLine{m_controls.Label(CMainDlgControls::kInformation)};
    CMainDlgGraph m_graph{m_controls, m_controller, this};
    std::unique_ptr<CChannelValueLists> m_lists;
    COppositeSession* m_simulatedSession = nullptr;
    std::unique_ptr<COppositeDlg> m_counterpart;
    CUnsavedRunOffer m_unsavedRuns{m_prompt,
                                   [this](const std::string& path) { return OpenUnsavedRun(path); }};
    std::string m_workingFileProblemTold;
    bool m_graphShown = true;
    bool m_started = false;  // past the single-instance check
    bool m_closing = false;
};
