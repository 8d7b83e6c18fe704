#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <thread>
#include <vector>

#include "counterpart/OppositeSession.h"
#include "counterpart/SimOptions.h"
#include "link/SocketServer.h"
#include "protocol/BasicPacket.h"
#include "protocol/PollingDataSendCommand.h"

namespace {

using TBytes = std::vector<uint8_t>;
constexpr int kWaitMs = 5000;

// The application's end of the development port: a plain listener on the loopback.
class CPeer {
public:
    CPeer() {
        m_listen = socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        bind(m_listen, reinterpret_cast<sockaddr*>(&address), sizeof address);
        listen(m_listen, 1);
        socklen_t size = sizeof address;
        getsockname(m_listen, reinterpret_cast<sockaddr*>(&address), &size);
        m_port = ntohs(address.sin_port);
    }
    ~CPeer() {
        CloseClient();
        close(m_listen);
    }
    uint16_t Port() const { return m_port; }

    bool Accept() {
        CloseClient();
        pollfd p{m_listen, POLLIN, 0};
        if (poll(&p, 1, kWaitMs) != 1)
            return false;
        m_client = accept(m_listen, nullptr, nullptr);
        return m_client >= 0;
    }
    void Send(const TBytes& bytes) {
        ASSERT_EQ(send(m_client, bytes.data(), bytes.size(), MSG_NOSIGNAL),
                  static_cast<ssize_t>(bytes.size()));
    }

    // Reads until enough says so, the peer closes or kWaitMs pass; false unless enough said so.
    bool ReadUntil(const std::function<bool(const TBytes&)>& enough) {
        const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(kWaitMs);
        while (!enough(m_received)) {
            const auto left =
                std::chrono::duration_cast<std::chrono::milliseconds>(end - std::chrono::steady_clock::now());
            pollfd p{m_client, POLLIN, 0};
            if (left.count() <= 0 || poll(&p, 1, static_cast<int>(left.count())) != 1)
                return false;
            uint8_t buffer[4096];
            const ssize_t n = recv(m_client, buffer, sizeof buffer, 0);
            if (n <= 0) {
                m_closed = true;
                return enough(m_received);
            }
            m_received.insert(m_received.end(), buffer, buffer + n);
        }
        return true;
    }
    // Reads and forgets everything until stop is set, so the sender never waits for room.
    void Drain(const std::atomic<bool>& stop) {
        while (!stop) {
            pollfd p{m_client, POLLIN, 0};
            uint8_t buffer[65536];
            if (poll(&p, 1, 10) == 1 && recv(m_client, buffer, sizeof buffer, 0) <= 0)
                return;
        }
    }
    bool Closed() const { return m_closed; }
    const TBytes& Received() const { return m_received; }
    void Forget() { m_received.clear(); }

private:
    void CloseClient() {
        if (m_client >= 0)
            close(m_client);
        m_client = -1;
        m_closed = false;
        m_received.clear();
    }

    int m_listen = -1;
    int m_client = -1;
    uint16_t m_port = 0;
    bool m_closed = false;
    TBytes m_received;
};

struct TFrame {
    int result = 0;  // the parse result: the length, or a negative frame result
    TBytes bytes;
};

// Cuts the bytes into frames; a frame with a wrong checksum keeps its length and its result.
std::vector<TFrame> Frames(const TBytes& bytes) {
    std::vector<TFrame> frames;
    size_t offset = 0;
    while (offset + 5 <= bytes.size()) {
        const size_t length = bytes[offset + 1] + 3u;
        if (offset + length > bytes.size())
            break;
        QNL::CBasicPacket packet;
        const int result = packet.ParseFrame(bytes.data() + offset, length);
        frames.push_back({result, TBytes(bytes.begin() + offset, bytes.begin() + offset + length)});
        offset += length;
    }
    return frames;
}

size_t CountCommand(const TBytes& bytes, uint8_t command) {
    size_t count = 0;
    for (const TFrame& frame : Frames(bytes)) count += frame.bytes[2] == command ? 1 : 0;
    return count;
}

TBytes PollingFrame(uint8_t rate, const std::vector<int>& units) {
    TPollingSetting setting;
    setting.SetRateCode(rate);
    for (int unit : units) setting.SetUnitCode(unit, TPollingSetting::kInUse);
    CPollingDataSendCommand command;
    command.SetPollingSetting(setting);
    return command.BuildFrame();
}

class OppositeSessionTest : public ::testing::Test {
protected:
    void Connect(COppositeSession& session) {
        session.SetServer("127.0.0.1", peer.Port());
        ASSERT_TRUE(session.Start());
        ASSERT_TRUE(peer.Accept());
    }
    CPeer peer;
};

TEST_F(OppositeSessionTest, PollingOnGivesOneReportPerPolledUnitPerCycle) {
    COppositeSession session(1);
    session.WithEngine([](COppositeEngine& engine) {
        COppositeEngine::TOptions options = engine.Options();
        options.autoStopNotice = true;
        engine.SetOptions(options);
    });
    Connect(session);
    peer.Send(PollingFrame(1, {1, 2, 3}));  // 100 ms: a cycle every 95 ms
    ASSERT_TRUE(peer.ReadUntil([](const TBytes& bytes) { return CountCommand(bytes, 0x42) >= 9; }));
    const std::vector<TFrame> frames = Frames(peer.Received());
    ASSERT_GE(frames.size(), 10u);
    EXPECT_EQ(frames[0].bytes, (TBytes{0x02, 0x03, 0x97, 0x00, 0x9A, 0x03}));
    for (size_t i = 1; i < 10; ++i) {
        ASSERT_EQ(frames[i].bytes[2], 0x42);
        EXPECT_EQ(frames[i].bytes[6], static_cast<uint8_t>((i - 1) % 3 + 1)) << i;  // unit
        EXPECT_EQ(frames[i].bytes[9], static_cast<uint8_t>((i - 1) / 3)) << i;      // sequence
    }
    EXPECT_TRUE(session.Status().periodic);
    EXPECT_EQ(session.Status().periodMs, 95u);

    peer.Send(PollingFrame(1, {}));
    ASSERT_TRUE(peer.ReadUntil([](const TBytes& bytes) { return CountCommand(bytes, 0x43) == 1; }));
    EXPECT_FALSE(session.Status().periodic);
    EXPECT_EQ(session.Status().framesIn, 2u);
    session.Stop();
}

TEST_F(OppositeSessionTest, GarbageIsDroppedAndSplitFramesWithBadChecksumsGoOut) {
    COppositeSession session(1);
    COppositeSession::TLinkFaults faults;
    faults.splitBytes = 3;
    faults.badChecksumEvery = 2;
    session.SetLinkFaults(faults);
    Connect(session);
    // A stray byte, the firmware query, the mode setting.
    peer.Send({0x55, 0x02, 0x02, 0x2A, 0x2C, 0x03, 0x02, 0x04, 0x0F, 0x02, 0x05, 0x1A, 0x03});
    ASSERT_TRUE(peer.ReadUntil([](const TBytes& bytes) { return Frames(bytes).size() >= 2; }));
    const std::vector<TFrame> frames = Frames(peer.Received());
    ASSERT_EQ(frames.size(), 2u);
    EXPECT_EQ(frames[0].bytes[2], 0xAA);
    EXPECT_EQ(frames[0].result, static_cast<int>(frames[0].bytes.size()));
    EXPECT_EQ(frames[1].bytes[2], 0x8F);
    EXPECT_EQ(frames[1].result, QNL::kFrameChecksum);
    EXPECT_EQ(session.Status().droppedBytes, 1u);
    session.Stop();
}

TEST_F(OppositeSessionTest, DuplicatedReportsAndADroppedConnection) {
    COppositeSession session(1);
    COppositeSession::TLinkFaults faults;
    faults.duplicateReports = true;
    faults.dropAfterCycles = 2;
    session.SetLinkFaults(faults);
    Connect(session);
    peer.Send(PollingFrame(1, {4}));
    // Two cycles of unit 4, each report twice, then the connection goes.
    ASSERT_TRUE(peer.ReadUntil([&](const TBytes&) { return peer.Closed(); }));
    std::vector<TBytes> reports;
    for (const TFrame& frame : Frames(peer.Received())) {
        if (frame.bytes[2] == 0x42)
            reports.push_back(frame.bytes);
    }
    ASSERT_EQ(reports.size(), 4u);
    EXPECT_EQ(reports[0], reports[1]);
    EXPECT_EQ(reports[2], reports[3]);
    EXPECT_NE(reports[0], reports[2]);

    // Plugged in again: connected, and quiet until polling is turned on anew.
    ASSERT_TRUE(peer.Accept());
    EXPECT_FALSE(session.Status().periodic);
    peer.Send(PollingFrame(1, {4}));
    ASSERT_TRUE(peer.ReadUntil([](const TBytes& bytes) { return CountCommand(bytes, 0x42) >= 2; }));
    const std::vector<TFrame> frames = Frames(peer.Received());
    EXPECT_EQ(frames.at(1).bytes[9], 0);  // numbering restarted
    session.Stop();
}

// Time that moves only when the session pauses, or when the test lets it run on to the next moment
// the cycle thread waits for.
class CManualClock : public IOppositeClock {
public:
    TTime Now() const override {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_now;
    }
    void Pause(std::chrono::milliseconds span) override {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_now += span;
    }
    void WaitUntil(std::unique_lock<std::mutex>& lock, std::condition_variable& wake, TTime until) override {
        {
            std::lock_guard<std::mutex> own(m_mutex);
            if (m_now >= until)
                return;
            m_waitingFor = until;
            m_waiting = true;
            m_wake = &wake;
        }
        m_waits.notify_all();
        // Until the test has moved the clock on, or briefly should that notice come too early.
        wake.wait_for(lock, std::chrono::milliseconds(1));
    }
    // Lets the time run on from one wait of the cycle thread to the next until `end`; false when
    // the thread stopped waiting for kWaitMs of real time.
    bool RunUntil(TTime end) {
        std::unique_lock<std::mutex> own(m_mutex);
        while (m_now < end) {
            if (!m_waits.wait_for(own, std::chrono::milliseconds(kWaitMs), [this] { return m_waiting; }))
                return false;
            m_waiting = false;
            m_now = std::max(m_now, std::min(m_waitingFor, end));
            m_wake->notify_all();
        }
        return true;
    }

private:
    mutable std::mutex m_mutex;
    std::condition_variable m_waits;
    TTime m_now;
    TTime m_waitingFor;
    bool m_waiting = false;
    std::condition_variable* m_wake = nullptr;
};

struct TPeriodCase {
    const char* name;
    std::vector<std::string> faults;
};

// Twenty units at 100 ms keep their 95 ms cycle whatever fault goes over the link.
TEST_F(OppositeSessionTest, FaultsNeverStretchTheCycle) {
    const TPeriodCase cases[] = {
        {"no fault", {}},
        {"split", {"--split", "7"}},
        {"split, every report twice", {"--split", "7", "--duplicate-reports"}},
        {"duplicate reports", {"--duplicate-reports"}},
        {"jitter", {"--jitter", "40"}},
        {"failure rate", {"--failure-rate", "10"}},
        {"bad checksums", {"--bad-checksum-every", "5"}},
        {"all at once",
         {"--jitter", "40", "--failure-rate", "10", "--split", "1", "--duplicate-reports",
          "--bad-checksum-every", "5"}},
    };
    std::vector<int> units;
    for (int unit = 1; unit <= 20; ++unit) units.push_back(unit);
    for (const TPeriodCase& c : cases) {
        std::vector<std::string> args = {"--units", "1-20", "--auto-info"};
        args.insert(args.end(), c.faults.begin(), c.faults.end());
        TSimOptions options;
        std::string error;
        ASSERT_TRUE(ParseSimOptions(args, options, error)) << error;
        CManualClock clock;
        COppositeSession session(3, clock);
        session.WithEngine([&](COppositeEngine& engine) { ApplySimOptions(options, engine); });
        session.SetLinkFaults(options.link);
        Connect(session);
        peer.Send(PollingFrame(1, units));
        std::atomic<bool> stop{false};
        std::thread reader([&] { peer.Drain(stop); });
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kWaitMs);
        while (!session.Status().periodic && std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));

        const IOppositeClock::TTime start = clock.Now();
        const uint64_t before = session.Status().cycles;
        EXPECT_TRUE(clock.RunUntil(start + std::chrono::seconds(30))) << c.name;
        const uint64_t cycles = session.Status().cycles - before;
        // Pauses may have carried the clock past the 30 s.
        const auto elapsed = std::chrono::duration<double, std::milli>(clock.Now() - start).count();
        session.Stop();
        stop = true;
        reader.join();
        ASSERT_GT(cycles, 0u) << c.name;
        EXPECT_NEAR(elapsed / static_cast<double>(cycles), 95.0, 10.0)
            << c.name << ": " << cycles << " cycles in " << elapsed << " ms";
    }
}

// The development port serves one client: a second one is refused and must not look connected.
TEST(OppositeSessionStatus, ARefusedSecondClientKeepsSayingConnecting) {
    VEK::CSocketServer server;
    server.SetPort(0);
    ASSERT_TRUE(server.Start());
    COppositeSession first(1);
    COppositeSession second(2);
    EXPECT_EQ(second.Status().Text().substr(0, 13), "disconnected ");
    for (COppositeSession* session : {&first, &second}) session->SetServer("127.0.0.1", server.BoundPort());
    ASSERT_TRUE(first.Start());
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kWaitMs);
    while (!(first.Status().linked && server.IsLinked()) && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    ASSERT_TRUE(first.Status().linked);
    ASSERT_TRUE(second.Start());
    // Long enough for a connection attempt and the server's answer to it.
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    const COppositeSession::TStatus status = second.Status();
    EXPECT_TRUE(status.started);
    EXPECT_FALSE(status.linked);
    EXPECT_EQ(status.Text(), "connecting  polling idle  cycles 0  frames in 0 out 0  dropped bytes 0");
    EXPECT_EQ(first.Status().Text().substr(0, 11), "connected  ");
    second.Stop();
    first.Stop();
    EXPECT_EQ(first.Status().Text().substr(0, 13), "disconnected ");
    server.Stop();
}

}  // namespace
