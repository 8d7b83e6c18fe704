// The dongle commander over the development TCP server on the loopback, with the dongle played by
// a scripted client on a plain socket.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <thread>

#include "DongleBench.h"
#include "link/SocketServer.h"
#include "protocol/CommandCode.h"
#include "protocol/DongleOperations.h"

using namespace protocol_test;
using VEK::CReportEvent;
namespace Code = QNL::Code;

namespace {

constexpr const char* kLoopback = "127.0.0.1";

// Connects to the server and answers each complete frame by its command code until stopped.
class CScriptedClient {
public:
    CScriptedClient(uint16_t port, std::map<uint8_t, TBytes> answers)
        : m_answers(std::move(answers)), m_fd(Connect(port)) {
        if (m_fd >= 0)
            m_thread = std::thread([this] { Serve(); });
    }
    ~CScriptedClient() { Close(); }

    bool Connected() const { return m_fd >= 0; }
    void Push(const TBytes& bytes) { SendAll(bytes); }
    // Leaves the server: it sees the client go.
    void Close() {
        m_stop = true;
        if (m_thread.joinable())
            m_thread.join();
        if (m_fd >= 0)
            close(m_fd);
        m_fd = -1;
    }
    std::vector<TBytes> Received() {
        std::lock_guard<std::mutex> lock(m_lock);
        return m_received;
    }

private:
    static int Connect(uint16_t port) {
        int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_port = htons(port);
        inet_pton(AF_INET, kLoopback, &address.sin_addr);
        if (fd >= 0 && connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0)
            return fd;
        if (fd >= 0)
            close(fd);
        return -1;
    }
    void SendAll(const TBytes& bytes) {
        std::lock_guard<std::mutex> lock(m_sendLock);
        size_t sent = 0;
        while (sent < bytes.size()) {
            ssize_t n = send(m_fd, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
            if (n <= 0)
                return;
            sent += static_cast<size_t>(n);
        }
    }
    void Serve() {
        TBytes pending;
        uint8_t buffer[512];
        while (!m_stop) {
            pollfd entry{m_fd, POLLIN, 0};
            if (poll(&entry, 1, 20) <= 0)
                continue;
            ssize_t n = recv(m_fd, buffer, sizeof buffer, 0);
            if (n <= 0)
                return;
            pending.insert(pending.end(), buffer, buffer + n);
            QNL::CBasicPacket frame;
            for (int length; (length = frame.ParseFrame(pending.data(), pending.size())) > 0;) {
                {
                    std::lock_guard<std::mutex> lock(m_lock);
                    m_received.emplace_back(pending.begin(), pending.begin() + length);
                }
                pending.erase(pending.begin(), pending.begin() + length);
                if (auto answer = m_answers.find(frame.Command()); answer != m_answers.end())
                    SendAll(answer->second);
            }
        }
    }

    const std::map<uint8_t, TBytes> m_answers;
    int m_fd;
    std::atomic<bool> m_stop{false};
    std::mutex m_lock;
    std::mutex m_sendLock;
    std::vector<TBytes> m_received;
    std::thread m_thread;
};

}  // namespace

// On the heap (gtest fixture), so no lock shares a stack address with one of another test.
class CommanderSocketTest : public ::testing::Test {
protected:
    CRecordingListener listener;
    VEK::CSocketServer server;
    QNL::CRfPacketCommander commander;
};

TEST_F(CommanderSocketTest, ConnectSequenceAndEventsOverTheLoopback) {
    server.SetBindAddress(kLoopback);
    server.SetPort(0);
    commander.SetListener(&listener);
    ASSERT_TRUE(commander.SetTarget(&server));
    ASSERT_TRUE(commander.Attach(&commander.Adapter()));
    ASSERT_NE(server.BoundPort(), 0);

    const TBytes fwRecord = {0x00, 'T', 'C', 'P', 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, '2', '.', '0', '0'};
    CScriptedClient dongle(server.BoundPort(),
                           {{Code::kFwVersion, Frame(Code::kFwVersionResponse, fwRecord)},
                            {Code::kPollingSetting, Frame(Code::kPollingSettingResponse, {0x00})},
                            {Code::kModeSetting, Frame(Code::kModeSettingResponse, {0x00})}});
    ASSERT_TRUE(dongle.Connected());
    ASSERT_TRUE(listener.WaitForState(CReportEvent::kConnect));

    QNL::TDongleCommandSettings settings;
    settings.systemNumber = 7;
    settings.commandTimeoutMs = 5000;
    TFwVersionData firmware;
    EXPECT_EQ(QNL::RunConnectSequence(commander, settings, firmware), 0);
    EXPECT_EQ(firmware.ModelText(), "TCP");
    EXPECT_EQ(firmware.VersionText(), "2.00");
    std::vector<TBytes> received = dongle.Received();
    ASSERT_EQ(received.size(), 3u);
    EXPECT_EQ(received[0], Frame(Code::kFwVersion));
    EXPECT_EQ(CommandOf(received[1]), Code::kPollingSetting);
    EXPECT_EQ(received[2], Frame(Code::kModeSetting, {0x02, 0x07}));

    // An event goes to the listener; the client leaving is a disconnection.
    dongle.Push(Frame(Code::kPollingStateEvent, {0x00}));
    ASSERT_TRUE(listener.WaitForPollingStates(1));
    EXPECT_EQ(listener.PollingStates(), (std::vector<bool>{false}));
    dongle.Close();
    ASSERT_TRUE(listener.WaitForState(CReportEvent::kDisconnect));
    EXPECT_TRUE(commander.IsRunning());  // the server goes on listening
    commander.Detach();
    EXPECT_FALSE(server.IsRunning());
}
