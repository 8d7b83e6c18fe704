#pragma once
#include <QDialog>
#include <QLabel>
#include <QPushButton>

#include "app/OnlyWindowChecker.h"
#include "app/controller/IMeasurementView.h"
#include "app/controller/MeasurementController.h"
#include "app/controller/QuitSignalNotifier.h"
#include "files/GraphScaleSettings.h"
#include "files/ParameterSet.h"

// The application's main window, run modally for the life of the process.
class CMainDlg : public QDialog, public IMeasurementView {
    Q_OBJECT
public:
    explicit CMainDlg(QWidget* parent = nullptr);
    ~CMainDlg() override;

    // Start-up up to the moment the window is ready; false when the window must not be shown
    // (another instance runs, or the operator declined to set a system number).
    bool InitDialog();
    // Saves the user's state and logs the end; nothing for a turned-away second instance.
    void OnDestroy();

    const VEK::TParameterSet& ParameterSet() const { return m_parameters; }
    CMeasurementController& Controller() { return m_controller; }

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

protected:
    void reject() override { QuitRequest(); }
    void closeEvent(QCloseEvent* event) override;

private:
    // Run state, connection or remaining time changed.
    void RefreshStatus();
    bool RunSystemNumberGate();
    static bool ConfirmQuit(QWidget* parent);
    // Finished data that were saved nowhere: asks before they are discarded.
    bool DiscardCheck();
    // A run still measuring is finished as Stop does (automatic save included), then the dongle is
    // brought to standby.
    void EndMeasurementForQuit();

    COnlyWindowChecker m_onlyWindow;
    CQuitSignalNotifier m_quitSignals;
    VEK::TParameterSet m_parameters;
    VEK::TGraphScaleSettings m_scales;
    CMeasurementController m_controller{m_parameters, *this};
    QLabel* m_status = nullptr;
    QLabel* m_information = nullptr;
    QPushButton* m_startStop = nullptr;
    bool m_started = false;  // past the single-instance check
    bool m_closing = false;
};
