#pragma once
#include <QDBusUnixFileDescriptor>
#include <QObject>
#include <cstdint>
#include <optional>

class QDBusMessage;
class QDBusPendingCallWatcher;

// Keeps the PC awake while a measurement runs: logind's "sleep:idle" inhibitor on the system bus
// (no suspend) and the desktop's screensaver inhibit on the session bus (no screen blanking), each
// where it exists; without a bus or a service it is silently absent. The calls go out
// asynchronously, so a bus service that hangs never holds up the window thread; an inhibit granted
// only after the release is given back at once. Window thread only.
class CKeepAwake : public QObject {
    Q_OBJECT
public:
    explicit CKeepAwake(QObject* parent = nullptr);
    ~CKeepAwake() override;

    // Idempotent. Whether the request was made (granted or not) is Requested().
    void Acquire();
    void Release();
    bool Requested() const { return m_requested; }
    // What the services have granted so far.
    bool HoldsSleepInhibit() const { return m_sleepInhibit.isValid(); }
    bool HoldsIdleInhibit() const { return m_idleCookie.has_value(); }

private:
    void InhibitSleep();
    void InhibitIdle();
    // The answer's watcher is deleted; request is the Acquire the call was made for.
    void OnSleepAnswer(QDBusPendingCallWatcher* watcher, uint32_t request);
    void OnIdleAnswer(QDBusPendingCallWatcher* watcher, uint32_t request);
    void WatchAnswer(const QDBusMessage& call, bool systemBus,
                     void (CKeepAwake::*onAnswer)(QDBusPendingCallWatcher*, uint32_t));
    static void UnInhibitIdle(uint32_t cookie);

    bool m_requested = false;
    uint32_t m_request = 0;                  // counts the Acquires; an answer to an earlier one is stale
    QDBusUnixFileDescriptor m_sleepInhibit;  // logind holds the inhibit while this stays open
    std::optional<uint32_t> m_idleCookie;
};
