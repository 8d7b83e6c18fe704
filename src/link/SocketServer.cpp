#include "link/SocketServer.h"

#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>

namespace VEK {
namespace {

using CClock = std::chrono::steady_clock;
constexpr int kBacklog = 5;
// While the read gate is closed it is asked again this often.
constexpr int kGateRetryMs = 10;

uint32_t NextInstance() {
    static std::atomic<uint32_t> counter{0};
    return ++counter;
}

std::string ServerName(uint32_t instance) {
    char name[32];
    std::snprintf(name, sizeof name, "SocketServer[%08X]:", instance);
    return name;
}

bool Elapsed(CClock::time_point since, int ms) {
    return CClock::now() - since >= std::chrono::milliseconds(ms);
}

}  // namespace

CSocketServer::CSocketServer() : m_instance(NextInstance()), m_name(ServerName(m_instance)) {}

void CSocketServer::SetBindAddress(const std::string& address) {
    m_bindAddress = address.empty() ? kDefaultBindAddress : address;
}

uint32_t CSocketServer::ReportId() const {
    return MakeCommTypeId(kCommKindSocketServer, m_instance);
}

bool CSocketServer::Start() {
    Stop();
    if (!ResolveAddress(m_bindAddress, m_port, m_address))
        return false;
    if (!Listen())
        return false;
    sockaddr_in bound{};
    socklen_t length = sizeof bound;
    getsockname(m_listenFd, reinterpret_cast<sockaddr*>(&bound), &length);
    m_boundPort = ntohs(bound.sin_port);
    m_address.sin_port = bound.sin_port;  // listen again on the same port after a client leaves
    if (StartThread([this](const std::atomic<bool>& stop) { Run(stop); }))
        return true;
    CloseListener();
    return false;
}

void CSocketServer::Stop() {
    // The thread closes the clients and the listening socket on its way out.
    StopThread();
    CloseListener();
}

bool CSocketServer::IsLinked() const {
    std::lock_guard<std::mutex> lock(m_clientsLock);
    return !m_clients.empty();
}

bool CSocketServer::Send(size_t size, const uint8_t* bytes) {
    std::lock_guard<std::mutex> lock(m_clientsLock);
    bool all = true;
    for (int fd : m_clients) all = SendAll(fd, bytes, size) && all;
    return all;
}

bool CSocketServer::Listen() {
    int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return false;
    int one = 1;
    setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
    if (bind(fd, reinterpret_cast<const sockaddr*>(&m_address), sizeof m_address) != 0 ||
        listen(fd, kBacklog) != 0) {
        close(fd);
        return false;
    }
    m_listenFd = fd;
    return true;
}

void CSocketServer::CloseListener() {
    if (m_listenFd < 0)
        return;
    close(m_listenFd);
    m_listenFd = -1;
}

std::vector<int> CSocketServer::Clients() const {
    std::lock_guard<std::mutex> lock(m_clientsLock);
    return m_clients;
}

int CSocketServer::PollTimeoutMs() const {
    int idleMs = IdleTime();
    return idleMs > 0 ? std::min(idleMs, kPeerCheckMs) : kPeerCheckMs;
}

void CSocketServer::Run(const std::atomic<bool>& stop) {
    auto lastData = CClock::now();
    auto lastIdle = lastData;
    auto lastCheck = lastData;
    while (!stop) {
        std::vector<int> clients = Clients();
        if (m_listenFd < 0 && clients.size() < m_maxClients && !Listen()) {
            WaitUnlessStopped(kRetryWaitMs);
            continue;
        }
        const bool reading = !m_readGate || m_readGate();
        std::vector<pollfd> fds{{m_wakeup.Fd(), POLLIN, 0}, {m_listenFd, POLLIN, 0}};
        if (reading) {
            for (int fd : clients) fds.push_back({fd, POLLIN, 0});
        }
        int n = poll(fds.data(), fds.size(), reading ? PollTimeoutMs() : kGateRetryMs);
        if (n < 0 && errno != EINTR)
            WaitUnlessStopped(kRetryWaitMs);
        if (stop)
            break;
        if (fds[0].revents != 0)
            m_wakeup.Clear();
        if (fds[1].revents != 0)
            AcceptClient();
        bool gotData = false;
        for (size_t i = 2; i < fds.size(); ++i) {
            if (fds[i].revents != 0 && ReceiveFrom(fds[i].fd))
                gotData = true;
        }
        // Held back, the line is not idle: a frame cut in two by the pause is no gap.
        if (gotData || !reading) {
            lastData = lastIdle = CClock::now();
            if (gotData)
                lastCheck = lastData;
            continue;
        }
        if (Elapsed(lastCheck, kPeerCheckMs)) {
            lastCheck = CClock::now();
            CheckPeers();
        }
        int idleMs = IdleTime();
        if (idleMs > 0 && Elapsed(lastIdle, idleMs)) {
            lastIdle = CClock::now();
            DeliverState(CReportEvent::kIdle);
        }
    }
    for (int fd : Clients()) CloseClient(fd);
    CloseListener();
    DeliverState(CReportEvent::kEnd);
}

void CSocketServer::AcceptClient() {
    int fd = accept4(m_listenFd, nullptr, nullptr, SOCK_CLOEXEC);
    if (fd < 0)
        return;
    size_t count;
    {
        std::lock_guard<std::mutex> lock(m_clientsLock);
        if (m_clients.size() >= m_maxClients) {
            ShutdownAndClose(fd);
            return;
        }
        ApplySocketOptions(fd);
        m_clients.push_back(fd);
        count = m_clients.size();
    }
    if (count >= m_maxClients)
        CloseListener();
    if (!DeliverSocketState(fd, CReportEvent::kConnect))
        CloseClient(fd);
}

bool CSocketServer::ReceiveFrom(int fd) {
    ssize_t n = recv(fd, m_receiveBuffer.data(), m_receiveBuffer.size(), MSG_DONTWAIT);
    if (n > 0) {
        if (!DeliverSocketData(fd, m_receiveBuffer.data(), static_cast<size_t>(n)))
            CloseClient(fd);
        return true;
    }
    if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR))
        return false;
    if (n < 0 && errno != ENOTSOCK && errno != ESHUTDOWN)
        DeliverSocketState(fd, CReportEvent::kError, errno);
    CloseClient(fd);
    return false;
}

void CSocketServer::CloseClient(int fd) {
    {
        std::lock_guard<std::mutex> lock(m_clientsLock);
        auto it = std::find(m_clients.begin(), m_clients.end(), fd);
        if (it == m_clients.end())
            return;
        m_clients.erase(it);  // no Send can reach it from here on
    }
    DeliverSocketState(fd, CReportEvent::kDisconnect);
    ShutdownAndClose(fd);
}

void CSocketServer::CheckPeers() {
    for (int fd : Clients()) {
        if (!PeerExists(fd))
            CloseClient(fd);
    }
}

}  // namespace VEK
