#include "app/FileProgressDlg.h"

#include <QCloseEvent>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QLocale>
#include <QTimer>
#include <algorithm>
#include <climits>

namespace {

constexpr int kRefreshMs = 30;
constexpr int kBarSteps = 1000;  // the bar in thousandths: record counts exceed an int

}  // namespace

CFileProgressDlg::CFileProgressDlg(QWidget* window, const QString& action, bool cancellable)
    : QProgressDialog(window), m_action(action), m_cancellable(cancellable) {
    setWindowModality(Qt::WindowModal);
    setWindowTitle(QStringLiteral("Hollowmere"));
    setRange(0, kBarSteps);
    setAutoClose(false);
    setAutoReset(false);
    setMinimumDuration(INT_MAX);  // shown by Run, not by QProgressDialog's own estimate
    setLabelText(action);
    if (cancellable)
        setCancelButtonText(QStringLiteral("Cancel"));
    else
        setCancelButton(nullptr);
    // The button's own slot would hide the dialog at once; the worker still has to stop.
    disconnect(this, SIGNAL(canceled()), this, SLOT(cancel()));
    connect(this, &QProgressDialog::canceled, this, &CFileProgressDlg::reject);
    hide();
}

CFileProgressDlg::EOutcome CFileProgressDlg::Run(VEK::CFileOperation::TWork work) {
    VEK::CFileOperation operation(std::move(work));
    QElapsedTimer clock;
    clock.start();
    QEventLoop loop;
    QTimer tick;
    tick.setInterval(kRefreshMs);
    bool loopVisible = false;
    connect(&tick, &QTimer::timeout, &loop, [&] {
        if (m_cancelled || (m_cancellable && wasCanceled()))  // QProgressDialog::cancel called directly
            operation.Cancel();
        Refresh(operation);
        const bool dueToShow = !isVisible() && clock.elapsed() >= kShowAfterMs;
        if (operation.Finished() || dueToShow || isVisible() != loopVisible)
            loop.quit();
    });
    tick.start();
    // Before the dialog shows, the window repaints but takes no input: nothing may start another
    // command while the operation runs. The visible dialog blocks the window by its modality.
    while (!operation.Finished()) {
        if (!isVisible() && clock.elapsed() >= kShowAfterMs)
            show();
        loopVisible = isVisible();
        loop.exec(loopVisible ? QEventLoop::AllEvents : QEventLoop::ExcludeUserInputEvents);
    }
    hide();
    if (m_cancelled || operation.CancelRequested())
        return EOutcome::kCancelled;
    return operation.Result() ? EOutcome::kDone : EOutcome::kFailed;
}

void CFileProgressDlg::Refresh(const VEK::CFileOperation& operation) {
    const uint64_t total = operation.Total();
    const uint64_t done = std::min(operation.Done(), total);
    if (total == 0)
        return;
    setValue(static_cast<int>(done * kBarSteps / total));
    const QLocale locale = QLocale::system();
    setLabelText(QStringLiteral("%1\nRecord %2 of %3")
                     .arg(m_cancelled ? QStringLiteral("Cancelling...") : m_action,
                          locale.toString(static_cast<qulonglong>(done)),
                          locale.toString(static_cast<qulonglong>(total))));
}

void CFileProgressDlg::reject() {
    if (!m_cancellable)
        return;
    m_cancelled = true;
    setLabelText(QStringLiteral("Cancelling..."));
}

void CFileProgressDlg::closeEvent(QCloseEvent* event) {
    event->ignore();
    reject();
}
