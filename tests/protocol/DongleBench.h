#pragma once
// The dongle commander in front of a dongle played by the test on the link seam: a scripted channel
// whose answers are chosen by the command code of each frame sent.
#include <algorithm>
#include <functional>
#include <map>
#include <vector>

#include "../link/ScriptedDevice.h"
#include "../link/TestFramePacket.h"
#include "link/CommunicationReporter.h"
#include "protocol/RfPacketCommander.h"
#include "support/GuardedRecord.h"

namespace protocol_test {

using TBytes = std::vector<uint8_t>;

// A frame: STX, LEN, CMD, data, SUM of LEN, CMD and data, ETX.
inline TBytes Frame(uint8_t command, const TBytes& data = {}) {
    return link_test::CTestFramePacket::Frame(command, data);
}

inline uint8_t CommandOf(const TBytes& frame) {
    return frame.size() > 2 ? frame[2] : 0;
}

struct TUnclaimed {
    uint8_t command;
    TBytes data;
    int lastKeyResult;
    bool operator==(const TUnclaimed&) const = default;
};

// Records what the commander hands to the application's listener.
class CRecordingListener : public QNL::CRfPacketCommander::IListener {
public:
    void HandlePollingState(bool polling) override {
        m_guard.Record([&] { m_pollingStates.push_back(polling); });
    }
    void HandleUnclaimedFrame(QNL::CBasicPacket& frame, int lastKeyResult) override {
        m_guard.Record([&] { m_unclaimed.push_back({frame.Command(), frame.Data(), lastKeyResult}); });
    }
    bool HandleLinkState(int kind) override {
        if (kind != VEK::CReportEvent::kIdle)
            m_guard.Record([&] { m_states.push_back(kind); });
        return true;
    }
    void HandleDroppedByte(uint8_t byte, int code) override {
        m_guard.Record([&] { m_dropped.push_back({byte, code}); });
    }

    std::vector<TUnclaimed> Unclaimed() { return m_guard.Get(m_unclaimed); }
    std::vector<bool> PollingStates() { return m_guard.Get(m_pollingStates); }
    std::vector<int> States() { return m_guard.Get(m_states); }
    std::vector<std::pair<uint8_t, int>> Dropped() { return m_guard.Get(m_dropped); }

    // Bounded waits; the test asserts on the result.
    bool WaitForUnclaimed(size_t count) {
        return m_guard.WaitUntil([&] { return m_unclaimed.size() >= count; });
    }
    bool WaitForPollingStates(size_t count) {
        return m_guard.WaitUntil([&] { return m_pollingStates.size() >= count; });
    }
    bool WaitForState(int kind) {
        return m_guard.WaitUntil(
            [&] { return std::find(m_states.begin(), m_states.end(), kind) != m_states.end(); });
    }
    bool WaitForDropped(size_t count) {
        return m_guard.WaitUntil([&] { return m_dropped.size() >= count; });
    }

private:
    testing_support::CGuardedRecord m_guard;
    std::vector<TUnclaimed> m_unclaimed;
    std::vector<bool> m_pollingStates;
    std::vector<int> m_states;
    std::vector<std::pair<uint8_t, int>> m_dropped;
};

// The commander attached through its adapter to the scripted channel.
class CDongleBench {
public:
    // Answers per command code; the attempt counts the frames of that code sent so far (1 first).
    using TScript = std::function<std::vector<TBytes>(uint8_t command, int attempt)>;

    CDongleBench() { commander.SetListener(&listener); }
    ~CDongleBench() { commander.Detach(); }

    // Answers every frame of a code in the table with its frame; other codes stay unanswered.
    static TScript Answering(std::map<uint8_t, TBytes> answers) {
        return [answers](uint8_t command, int) {
            auto found = answers.find(command);
            return found != answers.end() ? std::vector<TBytes>{found->second} : std::vector<TBytes>{};
        };
    }

    bool Attach(TScript script) {
        Device().SetResponder([this, script](const TBytes& sent) {
            int attempt = ++m_attempts[CommandOf(sent)];  // on the sending thread, under the device lock
            return script(CommandOf(sent), attempt);
        });
        return commander.SetTarget(&report) && commander.Attach(&commander.Adapter());
    }
    link_test::CScriptedDevice& Device() { return report.Transport(); }
    std::vector<TBytes> Sent() { return Device().Sent(); }
    std::vector<uint8_t> SentCodes() {
        std::vector<uint8_t> codes;
        for (const TBytes& frame : Sent()) codes.push_back(CommandOf(frame));
        return codes;
    }

    CRecordingListener listener;
    VEK::CCommunicationReporterT<link_test::CScriptedDevice> report;
    QNL::CRfPacketCommander commander;

private:
    std::map<uint8_t, int> m_attempts;
};

}  // namespace protocol_test
