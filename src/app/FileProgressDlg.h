#pragma once
#include <QProgressDialog>

#include "files/FileOperation.h"

// Runs a long file operation on a worker thread while the window keeps painting. After 300 ms a
// window-modal dialog shows how many records are done out of how many, with Cancel when the
// operation may be cancelled; until it shows, the operator's input waits. The worker must not
// touch what the window thread changes meanwhile.
class CFileProgressDlg : public QProgressDialog {
    Q_OBJECT
public:
    enum class EOutcome { kDone, kFailed, kCancelled };
    static constexpr int kShowAfterMs = 300;

    CFileProgressDlg(QWidget* window, const QString& action, bool cancellable);

    EOutcome Run(VEK::CFileOperation::TWork work);

protected:
    // Escape and the close box cancel a cancellable operation and do nothing else.
    void reject() override;
    void closeEvent(QCloseEvent* event) override;

private:
    void Refresh(const VEK::CFileOperation& operation);

    QString m_action;
    bool m_cancellable;
    bool m_cancelled = false;
};
