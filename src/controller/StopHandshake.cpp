#include "controller/StopHandshake.h"

#include <QEventLoop>
#include <QMetaObject>
#include <QTimer>
#include <chrono>
#include <thread>

#include "controller/DongleLink.h"
#include "controller/IMeasurementView.h"
#include "files/TraceLogger.h"

namespace {
// The dongle's confirmation usually comes within this; only then the front end's wait opens.
constexpr auto kQuickWaitStep = std::chrono::milliseconds(10);
constexpr int kQuickWaitSteps = 120;
// How often a limited wait looks at the stop flags.
constexpr int kLimitCheckMs = 50;
}  // namespace

CStopHandshake::CStopHandshake(CDongleLink& link, IMeasurementView& view, QObject* parent)
    : QObject(parent), m_link(link), m_view(view) {}

void CStopHandshake::PollingStopped() {
    {
        std::lock_guard lock(m_lock);
        if (m_flags.done)
            return;
        m_flags = {true, true};
    }
    QMetaObject::invokeMethod(
        this,
        [this] {
            // WaitForStop may have completed the stop before this ran.
            if (Flags().pending)
                CompleteStop();
        },
        Qt::QueuedConnection);
}

void CStopHandshake::StopPolling() {
    if (!m_link.IsConnected())
        return;
    SetDone(false);
    if (m_link.SendPollingOff() != 0)
        SetDone(true);
}

bool CStopHandshake::WaitForStop() {
    if (!m_link.IsConnected())
        return true;
    if (Flags().pending)
        CompleteStop();
    if (Flags().done)
        return true;
    {
        const CDongleLink::CAwaitingDongle awaiting(m_link);
        for (int i = 0; i < kQuickWaitSteps && !LimitPassed() && !Flags().done; ++i)
            std::this_thread::sleep_for(kQuickWaitStep);
    }
    if (Flags().done) {
        CompleteStop();
        return true;
    }
    bool cancelled = false;
    if (m_waitLimit)
        WaitUntilLimit();
    else
        cancelled = m_view.WaitForStopConfirmation([this] { return Stopped() || LimitPassed(); });
    if (!cancelled && Stopped())
        return true;
    ForceStop();
    return false;
}

void CStopHandshake::LimitWait(std::chrono::milliseconds limit) {
    const auto limitAt = std::chrono::steady_clock::now() + limit;
    if (!m_waitLimit || limitAt < *m_waitLimit)
        m_waitLimit = limitAt;
}

bool CStopHandshake::Stopped() const {
    const TStopFlags flags = Flags();
    return flags.done && !flags.pending;
}

bool CStopHandshake::LimitPassed() const {
    return m_waitLimit && std::chrono::steady_clock::now() >= *m_waitLimit;
}

void CStopHandshake::WaitUntilLimit() {
    QEventLoop loop;
    QTimer check;
    connect(&check, &QTimer::timeout, &loop, [&] {
        if (Stopped() || LimitPassed())
            loop.quit();
    });
    check.start(kLimitCheckMs);
    // Nobody is asked, and no command of the window may start anything in the meantime.
    loop.exec(QEventLoop::ExcludeUserInputEvents);
}

void CStopHandshake::ForceStop() {
    SetDone(true);
    CompleteStop();
    VEK::TraceLogger().Trace("測定停止処理を強制停止しました。");
}

void CStopHandshake::CompleteStop() {
    {
        std::lock_guard lock(m_lock);
        m_flags.pending = false;
    }
    m_link.SendStandbyMode();
}

void CStopHandshake::Reset() {
    std::lock_guard lock(m_lock);
    m_flags = {true, false};
}

TStopFlags CStopHandshake::Flags() const {
    std::lock_guard lock(m_lock);
    return m_flags;
}

void CStopHandshake::SetDone(bool done) {
    std::lock_guard lock(m_lock);
    m_flags.done = done;
}
