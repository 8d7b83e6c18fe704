#include "controller/TickThread.h"

#include <algorithm>
#include <chrono>
#include <thread>

#include "data/MeasurementDataManager.h"

namespace {
// Short slices keep a stop quick at the slow rates.
constexpr auto kSlice = std::chrono::milliseconds(100);
constexpr auto kStopWait = std::chrono::milliseconds(3000);
}  // namespace

CTickThread::CTickThread(CMeasurementDataManager& store, std::function<void(uint32_t)> onTick)
    : m_store(store), m_onTick(std::move(onTick)) {}

void CTickThread::Start(uint32_t periodMs) {
    Stop();
    if (periodMs == 0)
        return;
    m_thread.Start(
        [this, periodMs, start = m_start](const std::atomic<bool>& stop) { Run(stop, periodMs, start); });
    m_thread.SetPriority(VEK::CThread::EPriority::Highest);
}

void CTickThread::Stop() {
    m_thread.Stop(kStopWait);
    ++m_start;
}

void CTickThread::Run(const std::atomic<bool>& stop, uint32_t periodMs, uint32_t start) {
    using Clock = std::chrono::steady_clock;
    const Clock::time_point begin = Clock::now();
    m_store.SetClockOrigin(begin, periodMs);
    for (uint64_t tick = 1;; ++tick) {
        const Clock::time_point due = begin + std::chrono::milliseconds(periodMs) * tick;
        for (;;) {
            if (stop)
                return;
            const Clock::time_point now = Clock::now();
            if (now >= due)
                break;
            std::this_thread::sleep_for(std::min<Clock::duration>(due - now, kSlice));
        }
        if (m_store.State() == CMeasurementDataManager::kStateMeasuring)
            m_store.AdvanceTick();
        m_onTick(start);
    }
}
