#pragma once
#include <QDBusUnixFileDescriptor>
#include <cstdint>
#include <string>

// Keeps the PC from sleeping while a measurement runs: a logind "sleep:idle" inhibitor on the system
// bus, else the desktop's screensaver inhibit on the session bus. Without a bus (or without either
// service) it is silently absent. Window thread only; each call waits at most a short time-out.
class CKeepAwake {
public:
    enum class EKind { kNone, kLogind, kScreenSaver };

    CKeepAwake() = default;
    ~CKeepAwake() { Release(); }
    CKeepAwake(const CKeepAwake&) = delete;
    CKeepAwake& operator=(const CKeepAwake&) = delete;

    // Idempotent. Whether the request was made (held or not) is Requested().
    void Acquire();
    void Release();
    bool Requested() const { return m_requested; }
    EKind Held() const { return m_kind; }

private:
    bool InhibitLogind();
    bool InhibitScreenSaver();

    bool m_requested = false;
    EKind m_kind = EKind::kNone;
    QDBusUnixFileDescriptor m_inhibitFd;  // logind holds the inhibit while this stays open
    uint32_t m_cookie = 0;
};
