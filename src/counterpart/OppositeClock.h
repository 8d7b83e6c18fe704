#pragma once
#include <chrono>
#include <condition_variable>
#include <mutex>

// The time the counterpart keeps its cycle and its pauses by. The system's steady clock serves
// the simulator; tests put in a clock of their own and move it on as they please.
class IOppositeClock {
public:
    using TTime = std::chrono::steady_clock::time_point;

    virtual ~IOppositeClock() = default;
    virtual TTime Now() const = 0;
    // Holds the calling thread up for the span (a pause between the pieces of a split send).
    virtual void Pause(std::chrono::milliseconds span) = 0;
    // Waits on wake, under lock, until notified or until the time has come; may return early.
    virtual void WaitUntil(std::unique_lock<std::mutex>& lock, std::condition_variable& wake,
                           TTime until) = 0;

    // The system's steady clock.
    static IOppositeClock& System();
};
