#include "files/AsyncWriter.h"

namespace VEK {
namespace {
// How long a job already running at the drain deadline may take before Stop gives up waiting.
constexpr auto kRunningJobSlack = std::chrono::milliseconds(2000);
}  // namespace

bool CAsyncWriter::Start() {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (m_accepting)
            return true;
        m_accepting = true;
    }
    if (!m_thread.Start([this](const std::atomic<bool>&) { Run(); })) {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_accepting = false;  // the previous thread still runs a job
        return false;
    }
    m_thread.SetPriority(CThread::EPriority::Lowest);
    return true;
}

bool CAsyncWriter::Post(std::function<void()> job) {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (!m_accepting)
        return false;
    m_jobs.push_back(std::move(job));
    m_wake.notify_one();
    return true;
}

bool CAsyncWriter::Stop(std::chrono::milliseconds drainBound) {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (m_accepting) {
            m_accepting = false;
            m_drainDeadline = TClock::now() + drainBound;
            m_dropped = 0;
        }
        m_wake.notify_one();
    }
    return m_thread.Stop(drainBound + kRunningJobSlack);
}

size_t CAsyncWriter::Dropped() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_dropped;
}

void CAsyncWriter::Run() {
    std::unique_lock<std::mutex> lock(m_mutex);
    for (;;) {
        m_wake.wait(lock, [this] { return !m_jobs.empty() || !m_accepting; });
        if (m_jobs.empty())
            return;  // stopped and drained
        if (!m_accepting && TClock::now() >= m_drainDeadline) {
            m_dropped = m_jobs.size();
            m_jobs.clear();
            return;
        }
        std::function<void()> job = std::move(m_jobs.front());
        m_jobs.pop_front();
        lock.unlock();
        job();
        lock.lock();
    }
}

}  // namespace VEK
