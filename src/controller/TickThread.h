#pragma once
#include <cstdint>
#include <functional>

#include "support/Thread.h"

class CMeasurementDataManager;

// The record clock of a measurement: once per sampling period it advances the store's sequence
// counter (under the store's lock, only while measuring) and calls onTick with the number of the
// clock's start, so that a tick still on its way from a stopped clock can be told apart. Periods
// are counted from the start against the steady clock, so late wake-ups never add up to drift.
class CTickThread {
public:
    CTickThread(CMeasurementDataManager& store, std::function<void(uint32_t start)> onTick);
    ~CTickThread() { Stop(); }

    // Stops a running clock first. A period of 0 starts nothing.
    void Start(uint32_t periodMs);
    // Bounded: the clock notices the request within one sleep slice.
    void Stop();
    bool IsRunning() const { return m_thread.IsRunning(); }
    // Changes at every stop; ticks carrying another number come from a stopped clock.
    uint32_t CurrentStart() const { return m_start; }

private:
    void Run(const std::atomic<bool>& stop, uint32_t periodMs, uint32_t start);

    CMeasurementDataManager& m_store;
    std::function<void(uint32_t)> m_onTick;
    VEK::CThread m_thread;
    uint32_t m_start = 0;  // the number of the running clock; the caller's thread only
};
