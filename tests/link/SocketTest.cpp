#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <thread>

#include "EventRecorder.h"
#include "link/SocketClient.h"
#include "link/SocketServer.h"

using namespace VEK;
using namespace link_test;

namespace {

constexpr const char* kLoopback = "127.0.0.1";
using CKinds = std::vector<int>;

// A plain client socket on the loopback; -1 when the connection is refused.
int ConnectRaw(uint16_t port) {
    int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    inet_pton(AF_INET, kLoopback, &address.sin_addr);
    if (connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        close(fd);
        return -1;
    }
    return fd;
}

// Retries for a bounded while: the server listens again only after its thread has seen the
// previous client go.
int ConnectRawWithin(uint16_t port, int attempts) {
    for (int i = 0; i < attempts; ++i) {
        int fd = ConnectRaw(port);
        if (fd >= 0)
            return fd;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return -1;
}

struct TServer {
    TServer() {
        server.SetListener(&events);
        server.SetBindAddress(kLoopback);
    }
    bool Start(uint16_t port = 0) {
        server.SetPort(port);
        return server.Start();
    }
    CEventRecorder events;
    CSocketServer server;
};

}  // namespace

TEST(SocketServer, SecondClientIsRefusedUntilTheFirstLeaves) {
    TServer s;
    ASSERT_TRUE(s.Start());
    EXPECT_EQ(s.server.ReportId() >> 24, kCommKindSocketServer);
    const uint8_t hello[] = {0x02, 0x02, 0x2A, 0x2C, 0x03};
    EXPECT_TRUE(s.server.Send(sizeof hello, hello));  // nobody connected: nothing to do

    CEventRecorder clientEvents;
    CSocketClient client;
    client.SetListener(&clientEvents);
    client.SetServer(kLoopback, s.server.BoundPort());
    client.SetReconnect(false);
    ASSERT_TRUE(client.Start());
    ASSERT_TRUE(s.events.WaitForKind(CReportEvent::kConnect));
    EXPECT_TRUE(s.server.IsLinked());
    EXPECT_EQ(ConnectRaw(s.server.BoundPort()), -1);

    // Both directions carry bytes.
    ASSERT_TRUE(client.Send(sizeof hello, hello));
    ASSERT_TRUE(s.events.WaitForBytes(sizeof hello));
    ASSERT_TRUE(s.server.Send(sizeof hello, hello));
    ASSERT_TRUE(clientEvents.WaitForBytes(sizeof hello));
    EXPECT_EQ(clientEvents.Bytes(), std::vector<uint8_t>(hello, hello + sizeof hello));

    client.Stop();
    ASSERT_TRUE(s.events.WaitForKind(CReportEvent::kDisconnect));
    EXPECT_EQ(clientEvents.Kinds(),
              (CKinds{CReportEvent::kConnect, CReportEvent::kDisconnect, CReportEvent::kEnd}));
    int second = ConnectRawWithin(s.server.BoundPort(), 300);
    ASSERT_GE(second, 0);
    EXPECT_TRUE(s.events.WaitForKind(CReportEvent::kConnect, 2));
    close(second);
    ASSERT_TRUE(s.events.WaitForKind(CReportEvent::kDisconnect, 2));
    s.server.Stop();
    EXPECT_EQ(s.events.Kinds(),
              (CKinds{CReportEvent::kConnect, CReportEvent::kDisconnect, CReportEvent::kConnect,
                      CReportEvent::kDisconnect, CReportEvent::kEnd}));
}

// While the read gate is closed the client's bytes stay in the system's buffers, a client that
// keeps sending is stopped by TCP's flow control, and the pause is no idle gap; once it opens every
// byte arrives in order.
TEST(SocketServer, ClosedReadGateHoldsTheClientBack) {
    TServer s;
    std::atomic<bool> open{false};
    s.server.SetReadGate([&] { return open.load(); });
    s.server.SetIdleTime(20);
    ASSERT_TRUE(s.Start());
    int fd = ConnectRaw(s.server.BoundPort());
    ASSERT_GE(fd, 0);
    ASSERT_TRUE(s.events.WaitForKind(CReportEvent::kConnect));

    std::vector<uint8_t> sent;
    std::vector<uint8_t> chunk(4096);
    for (bool full = false; !full;) {
        for (uint8_t& byte : chunk) byte = static_cast<uint8_t>(sent.size() + (&byte - chunk.data()));
        const ssize_t n = send(fd, chunk.data(), chunk.size(), MSG_DONTWAIT | MSG_NOSIGNAL);
        if (n > 0)
            sent.insert(sent.end(), chunk.begin(), chunk.begin() + n);
        full = n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK);
        ASSERT_LT(sent.size(), 256u << 20) << "never held back";
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_TRUE(s.events.Bytes().empty());
    EXPECT_EQ(s.events.CountOf(CReportEvent::kIdle), 0u);

    open = true;
    ASSERT_TRUE(s.events.WaitForBytes(sent.size()));
    EXPECT_EQ(s.events.Bytes(), sent);
    close(fd);
}

TEST(SocketServer, VanishedPeerIsNoticedAndSendingToItIsHarmless) {
    TServer s;
    ASSERT_TRUE(s.Start());
    int fd = ConnectRaw(s.server.BoundPort());
    ASSERT_GE(fd, 0);
    ASSERT_TRUE(s.events.WaitForKind(CReportEvent::kConnect));
    // A reset instead of an orderly close, as when the peer's machine drops the connection.
    linger hard{1, 0};
    setsockopt(fd, SOL_SOCKET, SO_LINGER, &hard, sizeof hard);
    close(fd);
    // Sending while the server may not have noticed yet must not raise SIGPIPE.
    std::vector<uint8_t> bytes(4096, 0x55);
    for (int i = 0; i < 200 && s.server.IsLinked(); ++i) s.server.Send(bytes.size(), bytes.data());
    ASSERT_TRUE(s.events.WaitForKind(CReportEvent::kDisconnect));
    EXPECT_FALSE(s.server.IsLinked());
    EXPECT_TRUE(s.server.Send(bytes.size(), bytes.data()));
    auto kinds = s.events.Kinds();
    EXPECT_EQ(kinds.back(), CReportEvent::kDisconnect);
    if (kinds.size() == 3) {
        EXPECT_EQ(kinds[1], CReportEvent::kError);
        EXPECT_EQ(s.events.LastError(), ECONNRESET);
    }
}

TEST(SocketServer, RestartsOnTheSamePortAtOnceAndRefusesAPortInUse) {
    TServer s;
    ASSERT_TRUE(s.Start());
    uint16_t port = s.server.BoundPort();
    int fd = ConnectRaw(port);
    ASSERT_TRUE(s.events.WaitForKind(CReportEvent::kConnect));
    s.server.Stop();
    EXPECT_FALSE(s.server.IsRunning());
    EXPECT_EQ(s.events.Kinds(),
              (CKinds{CReportEvent::kConnect, CReportEvent::kDisconnect, CReportEvent::kEnd}));
    close(fd);

    ASSERT_TRUE(s.Start(port));
    EXPECT_TRUE(s.server.IsRunning());
    TServer other;
    EXPECT_FALSE(other.Start(port));
    EXPECT_FALSE(other.server.IsRunning());
    int again = ConnectRaw(port);
    EXPECT_GE(again, 0);
    EXPECT_TRUE(s.events.WaitForKind(CReportEvent::kConnect, 2));
    close(again);
}

TEST(SocketClient, KeepsTryingUntilTheServerListens) {
    uint16_t port;
    {
        TServer probe;
        ASSERT_TRUE(probe.Start());
        port = probe.server.BoundPort();
    }
    CEventRecorder events;
    CSocketClient client;
    client.SetListener(&events);
    client.SetServer(kLoopback, port);
    ASSERT_TRUE(client.Start());  // nothing listens yet: the thread retries every 2 s
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_FALSE(client.IsLinked());

    TServer s;
    ASSERT_TRUE(s.Start(port));
    ASSERT_TRUE(events.WaitForKind(CReportEvent::kConnect));
    EXPECT_TRUE(client.IsLinked());
    EXPECT_EQ(client.ReportId() >> 24, kCommKindSocketClient);
    client.Stop();
    EXPECT_EQ(events.Kinds(),
              (CKinds{CReportEvent::kConnect, CReportEvent::kDisconnect, CReportEvent::kEnd}));
}

TEST(SocketClient, WithoutReconnectStartFailsWhenNobodyListens) {
    uint16_t port;
    {
        TServer probe;
        ASSERT_TRUE(probe.Start());
        port = probe.server.BoundPort();
    }
    CSocketClient client;
    client.SetServer(kLoopback, port);
    client.SetReconnect(false);
    EXPECT_FALSE(client.Start());
    EXPECT_FALSE(client.IsRunning());
    const uint8_t byte = 0;
    EXPECT_FALSE(client.Send(1, &byte));
}
