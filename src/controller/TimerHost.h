#pragma once
#include <QObject>
#include <QTimer>
#include <functional>
#include <map>
#include <memory>
#include <mutex>

// Numbered timers of one owner, each a QTimer living on the owner's thread. A timer repeats until it
// is stopped; restarting a running timer starts its period afresh. Other threads never touch the
// QTimers: they post a start request.
class CTimerHost : public QObject {
    Q_OBJECT
public:
    explicit CTimerHost(std::function<void(int)> onTimer, QObject* parent = nullptr);
    ~CTimerHost() override;

    // Owner's thread only.
    void Start(int id, int periodMs);
    void Stop(int id);
    void StopAll();
    // Any thread: the start happens on the owner's thread. Requests for a timer whose start is
    // still waiting join it (with the latest period), so a burst of them queues one call.
    void RequestStart(int id, int periodMs);

private:
    void StartRequested(int id);

    std::function<void(int)> m_onTimer;
    std::map<int, std::unique_ptr<QTimer>> m_timers;
    std::mutex m_requestLock;
    std::map<int, int> m_requests;  // timer id -> period of the start still waiting
};
