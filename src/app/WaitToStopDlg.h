#pragma once
#include <QDialog>
#include <QTimer>
#include <functional>

// Shown while the dongle has not confirmed that polling stopped. Closes by itself (result 1) once
// stopped() holds; Cancel (result 2) gives up waiting. The main window keeps handling its messages
// meanwhile, so the stop can complete while the dialog is open.
class CWaitToStopDlg : public QDialog {
    Q_OBJECT
public:
    static constexpr int kStopped = 1;
    static constexpr int kCancelled = 2;

    explicit CWaitToStopDlg(std::function<bool()> stopped, QWidget* parent = nullptr);
    int exec() override;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    // Escape and the window's Close act as Cancel.
    void reject() override { done(kCancelled); }

private:
    std::function<bool()> m_stopped;
    QTimer m_check;
};
