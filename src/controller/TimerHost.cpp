#include "controller/TimerHost.h"

#include <QMetaObject>

CTimerHost::CTimerHost(std::function<void(int)> onTimer, QObject* parent)
    : QObject(parent), m_onTimer(std::move(onTimer)) {}

CTimerHost::~CTimerHost() = default;

void CTimerHost::Start(int id, int periodMs) {
    std::unique_ptr<QTimer>& timer = m_timers[id];
    if (!timer) {
        timer = std::make_unique<QTimer>();
        timer->setTimerType(Qt::PreciseTimer);
        QObject::connect(timer.get(), &QTimer::timeout, this, [this, id] { m_onTimer(id); });
    }
    timer->start(periodMs);
}

void CTimerHost::Stop(int id) {
    auto it = m_timers.find(id);
    if (it != m_timers.end())
        it->second->stop();
}

void CTimerHost::StopAll() {
    for (auto& [id, timer] : m_timers) timer->stop();
}

void CTimerHost::RequestStart(int id, int periodMs) {
    {
        std::lock_guard lock(m_requestLock);
        if (!m_requests.insert_or_assign(id, periodMs).second)
            return;
    }
    QMetaObject::invokeMethod(
        this, [this, id] { StartRequested(id); }, Qt::QueuedConnection);
}

void CTimerHost::StartRequested(int id) {
    int periodMs;
    {
        std::lock_guard lock(m_requestLock);
        auto it = m_requests.find(id);
        if (it == m_requests.end())
            return;
        periodMs = it->second;
        m_requests.erase(it);
    }
    Start(id, periodMs);
}
