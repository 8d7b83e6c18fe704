#include "counterpart/OppositeClock.h"

#include <thread>

namespace {

class CSystemClock : public IOppositeClock {
public:
    TTime Now() const override { return std::chrono::steady_clock::now(); }
    void Pause(std::chrono::milliseconds span) override { std::this_thread::sleep_for(span); }
    void WaitUntil(std::unique_lock<std::mutex>& lock, std::condition_variable& wake, TTime until) override {
        wake.wait_until(lock, until);
    }
};

}  // namespace

IOppositeClock& IOppositeClock::System() {
    static CSystemClock clock;
    return clock;
}
