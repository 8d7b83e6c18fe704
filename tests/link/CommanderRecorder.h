#pragma once
// Collects what a packet commander hands to its listener, and lets a test wait for it.
#include <vector>

#include "EventRecorder.h"
#include "ScriptedDevice.h"
#include "TestFramePacket.h"
#include "link/PacketCommander.h"
#include "support/GuardedRecord.h"

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
        m_guard.Record([&] {
            m_unclaimed.push_back({static_cast<CTestFramePacket&>(parser).Bytes(), lastKeyResult});
        });
    }
    void HandleClaimedFrame(VEK::IPacketCommandExecuter::IPacket&) override {
        m_guard.Record([&] { ++m_claimed; });
    }
    void HandleDroppedByte(uint8_t byte, int code) override {
        m_guard.Record([&] { m_dropped.push_back({byte, code}); });
    }
    bool HandleLinkState(int kind) override {
        if (kind != VEK::CReportEvent::kIdle)
            m_guard.Record([&] { m_states.push_back(kind); });
        return true;
    }

    std::vector<TFrameRecord> Unclaimed() { return m_guard.Get(m_unclaimed); }
    std::vector<TDropRecord> Dropped() { return m_guard.Get(m_dropped); }
    std::vector<int> States() { return m_guard.Get(m_states); }
    int ClaimedCount() { return m_guard.Get(m_claimed); }

    bool WaitForUnclaimed(size_t count) {
        return m_guard.WaitUntil([&] { return m_unclaimed.size() >= count; });
    }
    bool WaitForDropped(size_t count) {
        return m_guard.WaitUntil([&] { return m_dropped.size() >= count; });
    }
    bool WaitForState(int kind) {
        return m_guard.WaitUntil(
            [&] { return std::find(m_states.begin(), m_states.end(), kind) != m_states.end(); });
    }
    // The device's sends are not listener events: poll them, with a bound.
    static bool WaitUntilSent(CScriptedDevice& device, size_t count) {
        for (int i = 0; i < 5000 && device.Sent().size() < count; ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        return device.Sent().size() >= count;
    }

private:
    testing_support::CGuardedRecord m_guard;
    std::vector<TFrameRecord> m_unclaimed;
    std::vector<TDropRecord> m_dropped;
    std::vector<int> m_states;
    int m_claimed = 0;
};

}  // namespace link_test
