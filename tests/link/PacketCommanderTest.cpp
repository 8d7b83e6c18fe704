#include <gtest/gtest.h>

#include <future>

#include "CommanderRecorder.h"
#include "ScriptedDevice.h"
#include "TestFramePacket.h"
#include "link/CommunicationReporter.h"
#include "link/PacketCommander.h"
#include "link/ReportWatchAdapter.h"

using namespace VEK;
using namespace link_test;

namespace {

const std::vector<uint8_t> kQuery = CTestFramePacket::Frame(0x2A);
const std::vector<uint8_t> kAnswer = CTestFramePacket::Frame(0xAA, {1, 2, 3});
const std::vector<uint8_t> kEvent = CTestFramePacket::Frame(0x42, {7, 8});

CTestFramePacket Command(uint8_t code) {
    CTestFramePacket packet;
    packet.SetContent(code, {});
    return packet;
}

class PacketCommanderTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_commander.SetParser(&m_parser);
        m_commander.SetListener(&m_listener);
    }
    void Attach() { ASSERT_TRUE(m_commander.Attach(&m_report)); }
    CScriptedDevice& Device() { return m_report.Transport(); }

    CTestFramePacket m_parser;
    CCommanderRecorder m_listener;
    CCommunicationReporterT<CScriptedDevice> m_report;
    CPacketCommander m_commander;
};

}  // namespace

TEST_F(PacketCommanderTest, NothingGoesOutBeforeAttach) {
    CTestFramePacket response(0xAA);
    EXPECT_EQ(m_commander.Send(Command(0x2A)), CPacketCommander::kNotAttached);
    EXPECT_EQ(m_commander.Exchange(response, Command(0x2A), 1000), CPacketCommander::kNotAttached);
    CPacketCommander noParser;
    EXPECT_FALSE(noParser.Attach(&m_report));
}

TEST_F(PacketCommanderTest, ExchangePairsTheResponseByContentPastUnsolicitedFrames) {
    Device().SetResponder([](const std::vector<uint8_t>& sent) {
        std::vector<uint8_t> reply = kEvent;  // an event first, then the answer, in one chunk
        if (sent == kQuery)
            reply.insert(reply.end(), kAnswer.begin(), kAnswer.end());
        return std::vector<std::vector<uint8_t>>{reply};
    });
    Attach();
    CTestFramePacket response(0xAA);
    EXPECT_EQ(m_commander.Exchange(response, Command(0x2A), 5000), static_cast<int>(kAnswer.size()));
    EXPECT_EQ(response.Bytes(), kAnswer);
    EXPECT_EQ(Device().Sent(), std::vector<std::vector<uint8_t>>{kQuery});
    ASSERT_TRUE(m_listener.WaitForUnclaimed(1));
    // The event arrived while the answer was awaited: the waiting packet's verdict comes along.
    EXPECT_EQ(m_listener.Unclaimed(), (std::vector<TFrameRecord>{{kEvent, -201}}));
    EXPECT_EQ(m_listener.ClaimedCount(), 1);
    EXPECT_EQ(m_commander.Send(Command(0x2B)), 0);
}

TEST_F(PacketCommanderTest, RefusedBytesGiveMinusTwo) {
    Attach();
    Device().SetRefuseSends(true);
    CTestFramePacket response(0xAA);
    EXPECT_EQ(m_commander.Send(Command(0x2A)), CPacketCommander::kRefused);
    EXPECT_EQ(m_commander.Exchange(response, Command(0x2A), 5000), CPacketCommander::kRefused);
}

TEST_F(PacketCommanderTest, LateResponseAfterTimeOutIsUnclaimed) {
    Attach();
    CTestFramePacket response(0xAA);
    EXPECT_EQ(m_commander.Exchange(response, Command(0x2A), 20), CPacketCommander::kTimeout);
    Device().Feed(kAnswer);
    ASSERT_TRUE(m_listener.WaitForUnclaimed(1));
    EXPECT_EQ(m_listener.Unclaimed(), (std::vector<TFrameRecord>{{kAnswer, 0}}));
}

TEST_F(PacketCommanderTest, WrongLengthResponseIsNotClaimedAndReportsTheKeyResult) {
    Attach();
    CTestFramePacket response(0xAA, 2);  // the answer carries 3 data bytes
    auto waiter =
        std::async(std::launch::async, [&] { return m_commander.Exchange(response, Command(0x2A), 1000); });
    ASSERT_TRUE(m_listener.WaitUntilSent(Device(), 1));
    Device().Feed(kAnswer);
    EXPECT_EQ(waiter.get(), CPacketCommander::kTimeout);
    ASSERT_TRUE(m_listener.WaitForUnclaimed(1));
    EXPECT_EQ(m_listener.Unclaimed(), (std::vector<TFrameRecord>{{kAnswer, -104}}));
}

TEST_F(PacketCommanderTest, SeveralWaitersEachGetTheirOwnResponse) {
    Attach();
    CTestFramePacket first(0x81);
    CTestFramePacket second(0x82);
    auto a = std::async(std::launch::async, [&] { return m_commander.Exchange(first, Command(0x01), 5000); });
    auto b =
        std::async(std::launch::async, [&] { return m_commander.Exchange(second, Command(0x02), 5000); });
    ASSERT_TRUE(m_listener.WaitUntilSent(Device(), 2));
    Device().Feed(CTestFramePacket::Frame(0x82, {2}));
    Device().Feed(CTestFramePacket::Frame(0x81, {1}));
    EXPECT_EQ(a.get(), 6);
    EXPECT_EQ(b.get(), 6);
    EXPECT_EQ(first.Bytes(), CTestFramePacket::Frame(0x81, {1}));
    EXPECT_EQ(second.Bytes(), CTestFramePacket::Frame(0x82, {2}));
}

TEST_F(PacketCommanderTest, EndOfTheReceiveThreadWakesEveryWaiterWithMinusThree) {
    Attach();
    CTestFramePacket first(0x81);
    CTestFramePacket second(0x82);
    auto a =
        std::async(std::launch::async, [&] { return m_commander.Exchange(first, Command(0x01), 10000); });
    auto b =
        std::async(std::launch::async, [&] { return m_commander.Exchange(second, Command(0x02), 10000); });
    ASSERT_TRUE(m_listener.WaitUntilSent(Device(), 2));
    Device().Unplug();
    EXPECT_EQ(a.get(), CPacketCommander::kEnded);
    EXPECT_EQ(b.get(), CPacketCommander::kEnded);
    ASSERT_TRUE(m_listener.WaitForState(CReportEvent::kEnd));
    EXPECT_EQ(m_listener.States(), (std::vector<int>{CReportEvent::kConnect, CReportEvent::kDisconnect,
                                                     CReportEvent::kForcedEnd, CReportEvent::kEnd}));
    // Still attached, but not alive.
    EXPECT_EQ(m_commander.Send(Command(0x2A)), CPacketCommander::kNotAttached);
}

TEST_F(PacketCommanderTest, GarbageIsDroppedByteByByteBeforeAFrame) {
    Attach();
    Device().Feed({0x00, 0x00, 0x02, 0x02, 0x2A, 0x2C, 0x03});
    ASSERT_TRUE(m_listener.WaitForUnclaimed(1));
    EXPECT_EQ(m_listener.Dropped(), (std::vector<TDropRecord>{{0x00, -100}, {0x00, -100}}));
    EXPECT_EQ(m_listener.Unclaimed(), (std::vector<TFrameRecord>{{kQuery, 0}}));
}

TEST_F(PacketCommanderTest, FramesSplitAcrossChunksAreJoined) {
    Attach();
    std::vector<uint8_t> stream = kEvent;
    stream.insert(stream.end(), kAnswer.begin(), kAnswer.end());
    for (uint8_t byte : stream) Device().Feed({byte});
    ASSERT_TRUE(m_listener.WaitForUnclaimed(2));
    EXPECT_EQ(m_listener.Unclaimed(), (std::vector<TFrameRecord>{{kEvent, 0}, {kAnswer, 0}}));
    EXPECT_TRUE(m_listener.Dropped().empty());
}

TEST_F(PacketCommanderTest, AStalledStartByteIsDroppedAfterTheGapAndTheStreamResyncs) {
    Attach();
    Device().Feed({0x02});
    ASSERT_TRUE(m_listener.WaitForDropped(1));
    EXPECT_EQ(m_listener.Dropped(), (std::vector<TDropRecord>{{0x02, -1}}));
    // A frame whose length byte promises more than ever comes: after the gap its first byte
    // goes and the real frame behind it is found.
    std::vector<uint8_t> stale{0x02, 0x40, 0x11};
    stale.insert(stale.end(), kEvent.begin(), kEvent.end());
    Device().Feed(stale);
    ASSERT_TRUE(m_listener.WaitForUnclaimed(1));
    EXPECT_EQ(m_listener.Unclaimed(), (std::vector<TFrameRecord>{{kEvent, 0}}));
    EXPECT_EQ(m_listener.Dropped(),
              (std::vector<TDropRecord>{{0x02, -1}, {0x02, -1}, {0x40, -100}, {0x11, -100}}));
}

TEST_F(PacketCommanderTest, DisconnectFlushesAPartialFrame) {
    // Driven directly, without a receive thread, so the gap cannot intervene.
    CQueueingReporter& queueing = m_commander.Queueing();
    const uint8_t partial[] = {0x05, 0x02, 0x05, 0x42};
    EXPECT_TRUE(queueing.HandleReportEvent(CReportEvent::Data(nullptr, partial, sizeof partial)));
    EXPECT_EQ(queueing.QueuedBytes(), (std::vector<uint8_t>{0x02, 0x05, 0x42}));
    EXPECT_TRUE(queueing.HandleReportEvent(CReportEvent::State(nullptr, CReportEvent::kDisconnect)));
    EXPECT_TRUE(queueing.QueuedBytes().empty());
    EXPECT_EQ(m_listener.Dropped(),
              (std::vector<TDropRecord>{{0x05, -100}, {0x02, -1}, {0x05, -1}, {0x42, -1}}));
    EXPECT_EQ(m_listener.States(), std::vector<int>{CReportEvent::kDisconnect});
}

TEST_F(PacketCommanderTest, WatchAdapterForwardsAndSwapsTargets) {
    CCommunicationReporterT<CScriptedDevice> other;
    CReportWatchAdapter adapter;
    ASSERT_TRUE(adapter.SetTarget(&m_report));
    ASSERT_TRUE(m_commander.Attach(&adapter));
    EXPECT_FALSE(adapter.SetTarget(&other));  // not while alive
    Device().Feed(kEvent);
    ASSERT_TRUE(m_listener.WaitForUnclaimed(1));
    EXPECT_EQ(m_commander.Send(Command(0x2A)), 0);
    EXPECT_EQ(Device().Sent(), std::vector<std::vector<uint8_t>>{kQuery});

    m_commander.Detach();
    ASSERT_TRUE(adapter.SetTarget(&other));
    ASSERT_TRUE(m_commander.Attach(&adapter));
    EXPECT_EQ(adapter.ReportName(), "Scripted");
    other.Transport().Feed(kAnswer);
    ASSERT_TRUE(m_listener.WaitForUnclaimed(2));
    EXPECT_EQ(m_listener.Unclaimed().back(), (TFrameRecord{kAnswer, 0}));
    m_commander.Detach();
}
