#pragma once
#include <atomic>
#include <mutex>

#include "link/IReport.h"
#include "support/CopyImpossible.h"

namespace VEK {

// Common base of all reports: the listener, the idle interval and the lock under which events are
// delivered.
class CAbstractReport : public IReport, private CCopyImpossible {
public:
    void SetListener(IListener* listener) override;
    int ReportOptions() const override { return 0; }
    void SetIdleTime(int ms) override { m_idleMs = ms > 0 ? ms : 0; }
    int IdleTime() const { return m_idleMs; }

protected:
    // Hands the event to the listener under the delivery lock; true when there is none.
    bool Deliver(const CReportEvent& event);
    bool DeliverState(int kind, int errorCode = 0) {
        return Deliver(CReportEvent::State(this, kind, errorCode));
    }

private:
    // Recursive: a listener may change the listener from inside its own call.
    std::recursive_mutex m_deliveryLock;
    IListener* m_listener = nullptr;
    std::atomic<int> m_idleMs{0};
};

}  // namespace VEK
