#pragma once
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "link/AbstractSocket.h"

namespace VEK {

// The development TCP port: one client at a time by default. While the maximum is connected the
// listening socket is closed, so further clients are refused; it listens again when one leaves.
class CSocketServer : public CAbstractSocket {
public:
    static constexpr const char* kDefaultBindAddress = "127.0.0.1";

    CSocketServer();
    ~CSocketServer() override { Stop(); }

    // Only the local machine can connect unless a wider address is given; empty means the default.
    void SetBindAddress(const std::string& address);
    void SetPort(uint16_t port) { m_port = port; }
    void SetMaxClients(size_t count) { m_maxClients = count > 0 ? count : 1; }
    // The port actually listened on (the chosen one, or the system's pick for port 0).
    uint16_t BoundPort() const { return m_boundPort; }
    // Asked on the server's thread before the clients are read; while it says no they are not
    // read, their bytes wait in the system's buffers and a client that keeps sending is slowed by
    // TCP's flow control. Set before Start; empty reads always.
    void SetReadGate(std::function<bool()> gate) { m_readGate = std::move(gate); }

    std::string ReportName() const override { return m_name; }
    uint32_t ReportId() const override;
    // False when the address does not resolve or cannot be listened on (e.g. the port is in use).
    bool Start() override;
    void Stop() override;
    bool IsLinked() const override;
    // To every client; true when every client took all bytes, and when there is none.
    bool Send(size_t size, const uint8_t* bytes) override;

private:
    void Run(const std::atomic<bool>& stop);
    bool Listen();
    void CloseListener();
    int PollTimeoutMs() const;
    void AcceptClient();
    // True when bytes arrived.
    bool ReceiveFrom(int fd);
    void CloseClient(int fd);
    void CheckPeers();
    std::vector<int> Clients() const;

    const uint32_t m_instance;
    const std::string m_name;
    std::string m_bindAddress = kDefaultBindAddress;
    uint16_t m_port = 0;
    std::atomic<uint16_t> m_boundPort{0};
    size_t m_maxClients = 1;
    std::function<bool()> m_readGate;
    sockaddr_in m_address{};
    int m_listenFd = -1;  // used by Start and then only by the thread
    // Guards the client list and serialises sends.
    mutable std::mutex m_clientsLock;
    std::vector<int> m_clients;
};

}  // namespace VEK
