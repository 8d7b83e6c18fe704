#pragma once
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

#include "support/CopyImpossible.h"

namespace VEK {

// A worker thread with a cooperative stop request and a bounded join. A thread is never left
// running detached: a body that outlives a bounded Stop stays owned, and the destructor waits for
// it, since bodies use their owner's members.
class CThread : private CCopyImpossible {
public:
    enum class EPriority { Lowest, BelowNormal, Normal, AboveNormal, Highest };

    CThread() = default;
    ~CThread();

    // Starts body(stopRequested). False if a thread is already running.
    bool Start(std::function<void(const std::atomic<bool>& stopRequested)> body);
    void RequestStop() { m_state->stop = true; }
    bool StopRequested() const { return m_state->stop; }
    bool IsRunning() const;
    // Requests the stop and waits up to timeout for the body to return; false when it still runs
    // (a later Stop or the destructor waits for it; Start refuses until it has returned).
    bool Stop(std::chrono::milliseconds timeout);
    // Best effort: raising above normal needs privileges and may fail, which is fine.
    bool SetPriority(EPriority priority);
    // Applies a priority to the calling thread.
    static bool SetCurrentPriority(EPriority priority);

private:
    struct TState {
        std::atomic<bool> stop{false};
        std::mutex mutex;
        std::condition_variable finished;
        std::condition_variable started;
        bool done = true;
        std::atomic<int> nativeTid{0};
    };
    std::shared_ptr<TState> m_state = std::make_shared<TState>();
    std::thread m_thread;
};

}  // namespace VEK
