#pragma once
// Collects what a packet commander hands to its listener, and lets a test wait for it.
#include <condition_variable>
#include <mutex>
#include <vector>

#include "EventRecorder.h"
#include "ScriptedDevice.h"
#include "TestFramePacket.h"
#include "link/PacketCommander.h"

namespace link_test {

struct TFrameRecord {
    std::vector<uint8_t> frame;
    int lastKeyResult;
    bool operator==(const TFrameRecord&) const = default;
};

struct TDropRecord {
    uint8_t byte;
    int code;
    bool operator==(const TDropRecord&) const = default;
};

inline void PrintTo(const TFrameRecord& r, std::ostream* os) {
    *os << r.frame.size() << "-byte frame, " << r.lastKeyResult;
}
inline void PrintTo(const TDropRecord& r, std::ostream* os) {
    *os << int(r.byte) << "/" << r.code;
}

class CCommanderRecorder : public VEK::CPacketCommander::IListener {
public:
    void HandleUnclaimedFrame(VEK::IPacketCommandExecuter::IPacket& parser, int lastKeyResult) override {
        Record([&] {
            m_unclaimed.push_back({static_cast<CTestFramePacket&>(parser).Bytes(), lastKeyResult});
        });
    }
    void HandleClaimedFrame(VEK::IPacketCommandExecuter::IPacket&) override {
        Record([&] { ++m_claimed; });
    }
    void HandleDroppedByte(uint8_t byte, int code) override {
        Record([&] { m_dropped.push_back({byte, code}); });
    }
    bool HandleLinkState(int kind) override {
        if (kind != VEK::CReportEvent::kIdle)
            Record([&] { m_states.push_back(kind); });
        return true;
    }

    std::vector<TFrameRecord> Unclaimed() { return Get(m_unclaimed); }
    std::vector<TDropRecord> Dropped() { return Get(m_dropped); }
    std::vector<int> States() { return Get(m_states); }
    int ClaimedCount() { return Get(m_claimed); }

    template <class TCondition>
    bool WaitUntil(TCondition condition) {
        return link_test::WaitUntil(m_lock, m_changed, condition);
    }
    bool WaitForUnclaimed(size_t count) {
        return WaitUntil([&] { return m_unclaimed.size() >= count; });
    }
    bool WaitForDropped(size_t count) {
        return WaitUntil([&] { return m_dropped.size() >= count; });
    }
    bool WaitForState(int kind) {
        return WaitUntil([&] { return std::find(m_states.begin(), m_states.end(), kind) != m_states.end(); });
    }
    // The device's sends are not listener events: poll them, with a bound.
    static bool WaitUntilSent(CScriptedDevice& device, size_t count) {
        for (int i = 0; i < 5000 && device.Sent().size() < count; ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        return device.Sent().size() >= count;
    }

private:
    template <class TChange>
    void Record(TChange change) {
        std::lock_guard<std::mutex> lock(m_lock);
        change();
        m_changed.notify_all();
    }
    template <class T>
    T Get(const T& value) {
        std::lock_guard<std::mutex> lock(m_lock);
        return value;
    }

    std::mutex m_lock;
    std::condition_variable m_changed;
    std::vector<TFrameRecord> m_unclaimed;
    std::vector<TDropRecord> m_dropped;
    std::vector<int> m_states;
    int m_claimed = 0;
};

}  // namespace link_test
