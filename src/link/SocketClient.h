#pragma once
#include <mutex>
#include <string>

#include "link/AbstractSocket.h"

namespace VEK {

// Connects to a TCP server and reports what arrives. With the reconnect flag (the default) the
// thread connects, and after every disconnection tries again every 2 s until Stop.
class CSocketClient : public CAbstractSocket {
public:
    static constexpr int kConnectTimeoutMs = 2000;

    CSocketClient() = default;
    ~CSocketClient() override { Stop(); }

    void SetServer(const std::string& host, uint16_t port);
    void SetReconnect(bool reconnect) { m_reconnect = reconnect; }

    std::string ReportName() const override;
    uint32_t ReportId() const override;
    // Without the reconnect flag, connects at once and fails when that fails.
    bool Start() override;
    void Stop() override { StopThread(); }
    bool IsLinked() const override;
    bool Send(size_t size, const uint8_t* bytes) override;

private:
    void Run(const std::atomic<bool>& stop);
    // Connects and raises connect; false when no connection stands afterwards.
    bool Connect();
    int ConnectSocket();
    // Receives until the peer goes, an event is refused or Stop.
    void Serve(int fd, const std::atomic<bool>& stop);
    void Disconnect();

    std::string m_host;
    uint16_t m_port = 0;
    bool m_reconnect = true;
    sockaddr_in m_address{};
    // Guards the socket; only the thread (or Start before it) changes it.
    mutable std::mutex m_socketLock;
    int m_socket = -1;
};

}  // namespace VEK
