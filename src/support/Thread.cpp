#include "support/Thread.h"

#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace VEK {
namespace {

int NiceValue(CThread::EPriority priority) {
    switch (priority) {
        case CThread::EPriority::Lowest:
            return 19;
        case CThread::EPriority::BelowNormal:
            return 5;
        case CThread::EPriority::Normal:
            return 0;
        case CThread::EPriority::AboveNormal:
            return -5;
        case CThread::EPriority::Highest:
            return -10;
    }
    return 0;
}

int CurrentTid() {
    return static_cast<int>(syscall(SYS_gettid));
}

}  // namespace

CThread::~CThread() {
    if (!m_thread.joinable())
        return;
    m_state->stop = true;
    if (m_thread.get_id() == std::this_thread::get_id()) {
        m_thread.detach();  // destroyed from its own body, which cannot join itself
        return;
    }
    m_thread.join();
}

bool CThread::Start(std::function<void(const std::atomic<bool>&)> body) {
    if (IsRunning())
        return false;
    if (m_thread.joinable())
        m_thread.join();
    m_state = std::make_shared<TState>();
    m_state->done = false;
    auto state = m_state;
    m_thread = std::thread([state, body = std::move(body)] {
        {
            std::lock_guard<std::mutex> lock(state->mutex);
            state->nativeTid = CurrentTid();
        }
        state->started.notify_all();
        body(state->stop);
        std::lock_guard<std::mutex> lock(state->mutex);
        state->done = true;
        state->finished.notify_all();
    });
    // Wait until the thread knows its id, so SetPriority works right after Start.
    std::unique_lock<std::mutex> lock(m_state->mutex);
    m_state->started.wait_for(lock, std::chrono::seconds(1), [this] { return m_state->nativeTid != 0; });
    return true;
}

bool CThread::IsRunning() const {
    std::lock_guard<std::mutex> lock(m_state->mutex);
    return !m_state->done;
}

bool CThread::Stop(std::chrono::milliseconds timeout) {
    if (!m_thread.joinable())
        return true;
    if (m_thread.get_id() == std::this_thread::get_id()) {
        m_state->stop = true;
        m_thread.detach();  // a body stopping its own thread: it ends when it returns
        return true;
    }
    m_state->stop = true;
    bool done;
    {
        std::unique_lock<std::mutex> lock(m_state->mutex);
        done = m_state->finished.wait_for(lock, timeout, [this] { return m_state->done; });
    }
    if (done)
        m_thread.join();
    return done;
}

bool CThread::SetPriority(EPriority priority) {
    int tid = m_state->nativeTid;
    if (tid == 0)
        return false;
    return setpriority(PRIO_PROCESS, static_cast<id_t>(tid), NiceValue(priority)) == 0;
}

bool CThread::SetCurrentPriority(EPriority priority) {
    return setpriority(PRIO_PROCESS, static_cast<id_t>(CurrentTid()), NiceValue(priority)) == 0;
}

}  // namespace VEK
