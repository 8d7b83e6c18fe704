#include "files/AsyncWriter.h"

namespace VEK {

bool CAsyncWriter::Start() {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (m_accepting)
            return true;
        m_accepting = true;
    }
    if (!m_thread.Start([this](const std::atomic<bool>& stop) { Run(stop); }))
        return false;
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

bool CAsyncWriter::Stop(std::chrono::milliseconds timeout) {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_accepting = false;
        m_wake.notify_one();
    }
    return m_thread.Stop(timeout);
}

void CAsyncWriter::Run(const std::atomic<bool>&) {
    std::unique_lock<std::mutex> lock(m_mutex);
    for (;;) {
        m_wake.wait(lock, [this] { return !m_jobs.empty() || !m_accepting; });
        if (m_jobs.empty())
            return;  // stopped and drained
        std::function<void()> job = std::move(m_jobs.front());
        m_jobs.pop_front();
        lock.unlock();
        job();
        lock.lock();
    }
}

}  // namespace VEK
