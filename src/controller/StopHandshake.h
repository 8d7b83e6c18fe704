#pragma once
#include <QObject>
#include <chrono>
#include <mutex>
#include <optional>

class CDongleLink;
class IMeasurementView;

// Stop flags of the stop handshake, read together.
struct TStopFlags {
    // The dongle reported that polling stopped, or the wait for it was given up.
    bool done = true;
    // Standby mode is still to be sent.
    bool pending = false;
};

// Before an exit or a new system number the dongle must have stopped polling, then it goes to
// standby: polling off, a wait for the dongle's confirmation (behind the front end's wait when it
// takes long), standby mode. The receive thread sets the flags when the confirmation arrives.
class CStopHandshake : public QObject {
    Q_OBJECT
public:
    // Borrowed; they outlive the handshake.
    CStopHandshake(CDongleLink& link, IMeasurementView& view, QObject* parent = nullptr);

    // Receive thread: the dongle reported that polling stopped. Unless the stop was done already,
    // both flags are set and the stop is completed on the window thread.
    void PollingStopped();
    // Polling off when connected: done is cleared until the dongle confirms, or set again at once
    // when the command failed.
    void StopPolling();
    // Returns once the stop is done and standby sent, or without a connected dongle. False when
    // the wait was given up (Cancel, or the limit) and standby sent without the confirmation.
    bool WaitForStop();
    // For a quit that nobody attends: from now on a wait for the confirmation opens nothing and
    // ends at the latest this long from now, and the stop is then completed as Cancel does. A
    // front end's wait already open closes by then too.
    void LimitWait(std::chrono::milliseconds limit);
    // Standby mode.
    void CompleteStop();
    // Nothing to wait for and nothing to complete: the dongle is gone, or the controller closes.
    void Reset();

    TStopFlags Flags() const;

private:
    void SetDone(bool done);
    // The dongle confirmed and the stop was completed.
    bool Stopped() const;
    bool LimitPassed() const;
    // Runs the event loop until the stop is complete or the limit has passed.
    void WaitUntilLimit();
    // Standby without the confirmation, logged.
    void ForceStop();

    CDongleLink& m_link;
    IMeasurementView& m_view;
    mutable std::mutex m_lock;
    TStopFlags m_flags;
    std::optional<std::chrono::steady_clock::time_point> m_waitLimit;  // window thread only
};
