#include <gtest/gtest.h>

#include <future>
#include <memory>

#include "DongleBench.h"
#include "protocol/CommandCode.h"
#include "protocol/FwVersionResponse.h"
#include "protocol/PacketTa/FwVersionCommand.h"

using namespace protocol_test;
using VEK::CReportEvent;

namespace {

using namespace QNL::Code;

const TBytes kQuery = Frame(kFwVersion);
const TBytes kAnswer = Frame(kFwVersionResponse, {0x07});
const TBytes kPollingStopped = Frame(kPollingStateEvent, {0x00});
const TBytes kStrayAnswer = Frame(kPollingSettingResponse, {0x00});

// Held by the fixture, which lives on the heap: threads' locks must not share stack addresses
// from one test to the next, or ThreadSanitizer mistakes them for one lock.
class RfPacketCommanderTest : public ::testing::Test {
protected:
    CDongleBench bench;
};

}  // namespace

// What the application's listener sees: events as typed calls, other unclaimed frames as the
// commander's own parser packet, dropped bytes and state events; claimed answers stay with their
// waiter.
TEST_F(RfPacketCommanderTest, ListenerGetsEventsUnclaimedFramesDropsAndStates) {
    ASSERT_TRUE(bench.Attach([](uint8_t command, int) {
        TBytes reply = {0x00};  // garbage, then the event and a stray answer, then the answer
        reply.insert(reply.end(), kPollingStopped.begin(), kPollingStopped.end());
        reply.insert(reply.end(), kStrayAnswer.begin(), kStrayAnswer.end());
        if (command == kFwVersion)
            reply.insert(reply.end(), kAnswer.begin(), kAnswer.end());
        return std::vector<TBytes>{reply};
    }));
    ASSERT_TRUE(bench.listener.WaitForState(CReportEvent::kConnect));
    CFwVersionResponse response;

    EXPECT_EQ(bench.commander.Exchange(response, QNL::PacketTa::CFwVersionCommand(), 5000),
              static_cast<int>(kAnswer.size()));
    EXPECT_EQ(response.ResultByte(), 7);
    ASSERT_TRUE(bench.listener.WaitForPollingStates(1));
    EXPECT_EQ(bench.listener.PollingStates(), (std::vector<bool>{false}));
    ASSERT_TRUE(bench.listener.WaitForUnclaimed(1));
    EXPECT_EQ(bench.listener.Unclaimed(), (std::vector<TUnclaimed>{{kPollingSettingResponse, {0x00}, -201}}));
    ASSERT_TRUE(bench.listener.WaitForDropped(1));
    EXPECT_EQ(bench.listener.Dropped(), (std::vector<std::pair<uint8_t, int>>{{0x00, -100}}));
}

// The dispatch of one frame: the events' typed calls with their data as their packet classes take
// them; data those refuse, and unit reports of other kinds, go nowhere.
TEST(RfPacketCommanderDispatch, EventsBecomeTypedCalls) {
    class CLog : public QNL::CRfPacketCommander::IListener {
    public:
        std::vector<std::string> calls;
        void HandlePollingState(bool polling) override { calls.push_back(polling ? "on" : "off"); }
        void HandleMeasurementReport(std::span<const uint8_t> report) override {
            calls.push_back("measurement " + std::to_string(report.size()));
        }
        void HandleInformationReport(std::span<const uint8_t> report) override {
            calls.push_back("information " + std::to_string(report.size()));
        }
        void HandleUnclaimedFrame(QNL::CBasicPacket& frame, int lastKeyResult) override {
            calls.push_back("unclaimed " + std::to_string(frame.Command()) + " " +
                            std::to_string(lastKeyResult));
        }
    };
    TBytes information(2 + 22, 0);
    information[2] = kInformationReport;
    const struct {
        const char* name;
        TBytes frame;
        std::vector<std::string> calls;
    } cases[] = {
        {"polling stopped", Frame(kPollingStateEvent, {0x00}), {"off"}},
        {"polling started", Frame(kPollingStateEvent, {0x05}), {"on"}},
        {"polling state without its byte", Frame(kPollingStateEvent, {}), {}},
        {"polling state with two bytes", Frame(kPollingStateEvent, {0x00, 0x00}), {}},
        {"measurement report",
         Frame(kDataReceivedEvent, {0, 0, kMeasurementReport, 7, 90, 0, 1}),
         {"measurement 5"}},
        {"information report", Frame(kDataReceivedEvent, information), {"information 22"}},
        {"other report kind", Frame(kDataReceivedEvent, {0, 0, 5, 7, 90, 0, 1}), {}},
        {"data-received event without a report", Frame(kDataReceivedEvent, {0, 0}), {}},
        {"data-received event cut short", Frame(kDataReceivedEvent, {0}), {}},
        {"other frame", Frame(kPollingSettingResponse, {0x00}), {"unclaimed 151 -201"}},
    };
    for (const auto& c : cases) {
        QNL::CBasicPacket frame;
        ASSERT_EQ(frame.ParseFrame(c.frame.data(), c.frame.size()), static_cast<int>(c.frame.size()))
            << c.name;
        CLog log;
        QNL::CRfPacketCommander::Dispatch(frame, -201, log);
        EXPECT_EQ(log.calls, c.calls) << c.name;
    }
}

TEST_F(RfPacketCommanderTest, WithoutAListenerTheReceiveThreadKeepsRunning) {
    bench.commander.SetListener(nullptr);
    ASSERT_TRUE(bench.Attach(CDongleBench::Answering({{kFwVersion, kAnswer}})));
    bench.Device().Feed(kPollingStopped);
    CFwVersionResponse response;
    EXPECT_EQ(bench.commander.Exchange(response, QNL::PacketTa::CFwVersionCommand(), 5000),
              static_cast<int>(kAnswer.size()));
    EXPECT_TRUE(bench.commander.IsRunning());
    EXPECT_TRUE(bench.listener.Unclaimed().empty());
}

// A dongle that went away: the report ends, waits end with -3, and further commands go nowhere.
TEST_F(RfPacketCommanderTest, EndedReportCancelsTheWaitAndRefusesFurtherCommands) {
    ASSERT_TRUE(bench.Attach(CDongleBench::Answering({})));
    CFwVersionResponse response;
    auto waiter = std::async(std::launch::async, [&] {
        return bench.commander.Exchange(response, QNL::PacketTa::CFwVersionCommand(), 10000);
    });
    for (int i = 0; i < 5000 && bench.Sent().empty(); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    bench.Device().Unplug();
    EXPECT_EQ(waiter.get(), VEK::CPacketCommander::kEnded);
    ASSERT_TRUE(bench.listener.WaitForState(CReportEvent::kEnd));

    EXPECT_FALSE(bench.commander.IsRunning());
    EXPECT_EQ(bench.commander.Exchange(response, QNL::PacketTa::CFwVersionCommand(), 10000),
              VEK::CPacketCommander::kNotAttached);
    EXPECT_EQ(bench.commander.SendWithHandshake(QNL::PacketTa::CFwVersionCommand()),
              VEK::CPacketCommander::kNotAttached);
    EXPECT_EQ(bench.Sent().size(), 1u);
}

// The target can change only while the adapter is not alive; a detach that leaves it dead points
// it back at the serial report.
TEST_F(RfPacketCommanderTest, TargetFollowsAttachAndDetach) {
    EXPECT_EQ(bench.commander.Adapter().Target(), &bench.commander.SerialReport());
    ASSERT_TRUE(bench.Attach(CDongleBench::Answering({})));
    EXPECT_EQ(bench.commander.Adapter().Target(), &bench.report);
    EXPECT_FALSE(bench.commander.SetTarget(&bench.commander.SerialReport()));

    bench.commander.Detach();
    EXPECT_FALSE(bench.commander.IsRunning());
    EXPECT_FALSE(bench.report.IsRunning());
    EXPECT_EQ(bench.commander.Adapter().Target(), &bench.commander.SerialReport());
    // Attaching again needs the target chosen again.
    ASSERT_TRUE(bench.Attach(CDongleBench::Answering({{kFwVersion, kAnswer}})));
    CFwVersionResponse response;
    EXPECT_GT(bench.commander.Exchange(response, QNL::PacketTa::CFwVersionCommand(), 5000), 0);
}

// The handshake belongs to the serial report: with another target a CTS wait changes nothing.
TEST_F(RfPacketCommanderTest, CtsWaitAppliesOnlyToALiveSerialReport) {
    bench.commander.SetCtsWait(50);
    ASSERT_TRUE(bench.Attach(CDongleBench::Answering({{kFwVersion, kAnswer}})));
    CFwVersionResponse response;
    EXPECT_GT(bench.commander.Exchange(response, QNL::PacketTa::CFwVersionCommand(), 5000), 0);
    EXPECT_EQ(bench.commander.SendWithHandshake(QNL::PacketTa::CFwVersionCommand()), 0);
    EXPECT_EQ(bench.Sent(), (std::vector<TBytes>{kQuery, kQuery}));
}

// A commander destroyed while attached stops its report before its adapter goes, and leaves the
// report without a listener.
TEST_F(RfPacketCommanderTest, DestroyedWhileAttached) {
    auto& report = bench.report;
    auto commander = std::make_unique<QNL::CRfPacketCommander>();
    ASSERT_TRUE(commander->SetTarget(&report));
    ASSERT_TRUE(commander->Attach(&commander->Adapter()));
    EXPECT_TRUE(report.IsRunning());

    commander.reset();
    EXPECT_FALSE(report.IsRunning());
    // No longer delivering to the adapter that is gone: restarting the report is harmless.
    report.Transport().Feed(kPollingStopped);
    ASSERT_TRUE(report.Start());
    report.Stop();
}
