#pragma once
#include <cstdint>
#include <functional>

#include "support/Thread.h"

class CMeasurementDataManager;

// The record clock of a measurement: once per sampling period it advances the store's sequence
// counter (under the store's lock, only while measuring) and calls onTick. Periods are counted from
// the start against the steady clock, so late wake-ups never add up to drift.
class CTickThread {
public:
    CTickThread(CMeasurementDataManager& store, std::function<void()> onTick);
    ~CTickThread() { Stop(); }

    // Stops a running clock first. A period of 0 starts nothing.
    void Start(uint32_t periodMs);
    // Bounded: the clock notices the request within one sleep slice.
    void Stop();
    bool IsRunning() const { return m_thread.IsRunning(); }

private:
    void Run(const std::atomic<bool>& stop, uint32_t periodMs);

    CMeasurementDataManager& m_store;
    std::function<void()> m_onTick;
    VEK::CThread m_thread;
};
