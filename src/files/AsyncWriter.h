#pragma once
#include <chrono>
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
    // Takes no more jobs and runs the queued ones until drainBound has passed; the rest are
    // dropped (see Dropped). True once the thread has ended. False only when a job still runs well
    // past the bound: the thread then stays owned and the destructor waits for it.
    bool Stop(std::chrono::milliseconds drainBound);
    // Jobs dropped by the last Stop.
    size_t Dropped() const;
    bool IsRunning() const { return m_thread.IsRunning(); }

private:
    using TClock = std::chrono::steady_clock;

    void Run();

    mutable std::mutex m_mutex;
    std::condition_variable m_wake;
    std::deque<std::function<void()>> m_jobs;
    bool m_accepting = false;
    TClock::time_point m_drainDeadline;
    size_t m_dropped = 0;
    CThread m_thread;  // last: its body uses the members above
};

}  // namespace VEK
