#include "protocol/SerialHandshake.h"

#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <thread>

#include "support/Thread.h"

namespace QNL {

namespace {

// Raises the calling thread to the highest normal priority and gives it back its own afterwards.
class CRaisedPriority {
public:
    CRaisedPriority() : m_tid(static_cast<id_t>(syscall(SYS_gettid))) {
        errno = 0;
        int nice = getpriority(PRIO_PROCESS, m_tid);
        m_known = errno == 0;
        m_nice = nice;
        VEK::CThread::SetCurrentPriority(VEK::CThread::EPriority::Highest);
    }
    ~CRaisedPriority() {
        if (m_known)
            setpriority(PRIO_PROCESS, m_tid, m_nice);
    }
    CRaisedPriority(const CRaisedPriority&) = delete;
    CRaisedPriority& operator=(const CRaisedPriority&) = delete;

private:
    id_t m_tid;
    int m_nice = 0;
    bool m_known = false;
};

bool AwaitCts(CSerialHandshake::ILines& lines, uint32_t ctsWaitMs) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(ctsWaitMs);
    while (!lines.IsCtsSet()) {
        if (std::chrono::steady_clock::now() >= deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

}  // namespace

int CSerialHandshake::Run(ILines& lines, uint32_t ctsWaitMs, const std::function<int()>& action) {
    CRaisedPriority priority;
    lines.SetRts(false);
    bool cts = AwaitCts(lines, ctsWaitMs);
    lines.SetRts(true);
    return cts ? action() : kNoCts;
}

}  // namespace QNL
