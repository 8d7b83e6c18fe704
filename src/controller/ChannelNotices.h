#pragma once
#include <array>
#include <chrono>
#include <cstdint>
#include <mutex>

// What the receive thread has to tell the window thread about a channel, kept until the window
// thread takes it: new readings merge into the range still waiting, new unit information into a
// flag. So at most one call per channel waits in the window thread's queue, however fast the dongle
// (or a client of the development port) sends. Thread-safe.
class CChannelNotices {
public:
    static constexpr int kChannels = 100;

    struct TNotice {
        uint32_t firstIndex = 0;  // of the readings stored
        uint32_t count = 0;       // 0: no readings
        bool information = false;
    };

    // Any thread; channels outside 1..100 are ignored. True when nothing was waiting for the
    // channel: the caller posts one call that takes the notice.
    bool AddReadings(int channel, uint32_t firstIndex, uint32_t count);
    bool AddInformation(int channel);
    // What waits for the channel, which then waits no more.
    TNotice Take(int channel);
    // Some notice has waited longer than this: the window thread falls behind.
    bool WaitingLongerThan(std::chrono::milliseconds age) const;

private:
    using TClock = std::chrono::steady_clock;
    struct TEntry {
        TNotice notice;
        bool waiting = false;
        TClock::time_point since;
    };
    // Marks the entry waiting; true when it was not.
    bool StartWaiting(TEntry& entry);

    mutable std::mutex m_lock;
    std::array<TEntry, kChannels + 1> m_entries{};  // index = channel, 0 unused
    int m_waiting = 0;
};
