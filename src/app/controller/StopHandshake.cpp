#include "app/controller/StopHandshake.h"

#include <QMetaObject>
#include <chrono>
#include <thread>

#include "app/controller/DongleLink.h"
#include "app/controller/IMeasurementView.h"
#include "files/TraceLogger.h"

namespace {
// The dongle's confirmation usually comes within this; only then the front end's wait opens.
constexpr auto kQuickWaitStep = std::chrono::milliseconds(10);
constexpr int kQuickWaitSteps = 120;
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

void CStopHandshake::WaitForStop() {
    if (!m_link.IsConnected())
        return;
    if (Flags().pending)
        CompleteStop();
    if (Flags().done)
        return;
    for (int i = 0; i < kQuickWaitSteps; ++i) {
        std::this_thread::sleep_for(kQuickWaitStep);
        if (Flags().done) {
            CompleteStop();
            return;
        }
    }
    const bool cancelled = m_view.WaitForStopConfirmation([this] {
        const TStopFlags flags = Flags();
        return flags.done && !flags.pending;
    });
    if (cancelled) {
        SetDone(true);
        CompleteStop();
        VEK::TraceLogger().Trace("測定停止処理を強制停止しました。");
    }
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
