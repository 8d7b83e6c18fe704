#pragma once
#include <QDialog>
#include <QLabel>

#include "app/OnlyWindowChecker.h"
#include "app/QuitSignalNotifier.h"
#include "files/GraphScaleSettings.h"
#include "files/ParameterSet.h"

// The application's main window, run modally for the life of the process.
class CMainDlg : public QDialog {
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

public slots:
    // Escape, the window's Close and the Exit command: asks first.
    void QuitRequest();
    // Quits without asking (a confirmed quit, or SIGTERM/SIGINT).
    void ConfirmedQuit();
    void ShowAbout();

protected:
    void reject() override { QuitRequest(); }
    void closeEvent(QCloseEvent* event) override;

private:
    bool RunSystemNumberGate();
    static bool ConfirmQuit(QWidget* parent);

    COnlyWindowChecker m_onlyWindow;
    CQuitSignalNotifier m_quitSignals;
    VEK::TParameterSet m_parameters;
    VEK::TGraphScaleSettings m_scales;
    QLabel* m_status = nullptr;
    QLabel* m_information = nullptr;
    bool m_started = false;  // past the single-instance check
    bool m_closing = false;
};
