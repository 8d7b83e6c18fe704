#pragma once
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>

#include "support/Thread.h"

namespace VEK {

// A low-priority thread that runs queued jobs one at a time, in the order they were queued.
class CAsyncWriter : private CCopyImpossible {
public:
    CAsyncWriter() = default;
    ~CAsyncWriter() { Stop(std::chrono::milliseconds(5000)); }

    bool Start();
    // False when the writer is not running; the job is then dropped.
    bool Post(std::function<void()> job);
    // Runs the jobs queued so far, then ends the thread.
    bool Stop(std::chrono::milliseconds timeout);
    bool IsRunning() const { return m_thread.IsRunning(); }

private:
    void Run(const std::atomic<bool>& stop);

    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::deque<std::function<void()>> m_jobs;
    bool m_accepting = false;
    CThread m_thread;
};

}  // namespace VEK
