#include "link/SocketClient.h"

#include <fcntl.h>
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

bool Elapsed(CClock::time_point since, int ms) {
    return CClock::now() - since >= std::chrono::milliseconds(ms);
}

void SetNonBlocking(int fd, bool on) {
    int flags = fcntl(fd, F_GETFL);
    fcntl(fd, F_SETFL, on ? flags | O_NONBLOCK : flags & ~O_NONBLOCK);
}

}  // namespace

void CSocketClient::SetServer(const std::string& host, uint16_t port) {
    m_host = host;
    m_port = port;
}

std::string CSocketClient::ReportName() const {
    std::lock_guard<std::mutex> lock(m_socketLock);
    char name[32];
    std::snprintf(name, sizeof name, "SocketClient[%u]:", static_cast<unsigned>(m_socket));
    return name;
}

uint32_t CSocketClient::ReportId() const {
    std::lock_guard<std::mutex> lock(m_socketLock);
    return MakeCommTypeId(kCommKindSocketClient, static_cast<uint32_t>(m_socket));
}

bool CSocketClient::Start() {
    Stop();
    if (!ResolveAddress(m_host, m_port, m_address))
        return false;
    if (!m_reconnect && !Connect())
        return false;
    return StartThread([this](const std::atomic<bool>& stop) { Run(stop); });
}

bool CSocketClient::IsLinked() const {
    std::lock_guard<std::mutex> lock(m_socketLock);
    return m_socket >= 0;
}

bool CSocketClient::Send(size_t size, const uint8_t* bytes) {
    std::lock_guard<std::mutex> lock(m_socketLock);
    return m_socket >= 0 && SendAll(m_socket, bytes, size);
}

int CSocketClient::ConnectSocket() {
    int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return -1;
    SetNonBlocking(fd, true);
    if (connect(fd, reinterpret_cast<const sockaddr*>(&m_address), sizeof m_address) != 0) {
        if (errno != EINPROGRESS) {
            close(fd);
            return -1;
        }
        pollfd fds[2] = {{fd, POLLOUT, 0}, {m_wakeup.Fd(), POLLIN, 0}};
        int error = 0;
        socklen_t length = sizeof error;
        if (poll(fds, 2, kConnectTimeoutMs) <= 0 || fds[0].revents == 0 ||
            getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &length) != 0 || error != 0) {
            close(fd);
            return -1;
        }
    }
    SetNonBlocking(fd, false);
    return fd;
}

bool CSocketClient::Connect() {
    int fd = ConnectSocket();
    if (fd < 0)
        return false;
    {
        std::lock_guard<std::mutex> lock(m_socketLock);
        m_socket = fd;
    }
    if (!DeliverSocketState(fd, CReportEvent::kConnect)) {
        Disconnect();
        return false;
    }
    ApplySocketOptions(fd);
    return true;
}

void CSocketClient::Disconnect() {
    int fd;
    {
        std::lock_guard<std::mutex> lock(m_socketLock);
        fd = m_socket;
        m_socket = -1;  // no Send can reach it from here on
    }
    if (fd < 0)
        return;
    DeliverSocketState(fd, CReportEvent::kDisconnect);
    ShutdownAndClose(fd);
}

void CSocketClient::Serve(int fd, const std::atomic<bool>& stop) {
    auto lastData = CClock::now();
    auto lastIdle = lastData;
    auto lastCheck = lastData;
    while (!stop) {
        int idleMs = IdleTime();
        pollfd fds[2] = {{fd, POLLIN, 0}, {m_wakeup.Fd(), POLLIN, 0}};
        int n = poll(fds, 2, idleMs > 0 ? std::min(idleMs, kPeerCheckMs) : kPeerCheckMs);
        if (n < 0 && errno != EINTR)
            return;
        if (stop)
            return;
        if (fds[1].revents != 0)
            m_wakeup.Clear();
        if (fds[0].revents != 0) {
            ssize_t got = recv(fd, m_receiveBuffer.data(), m_receiveBuffer.size(), MSG_DONTWAIT);
            if (got > 0) {
                if (!DeliverSocketData(fd, m_receiveBuffer.data(), static_cast<size_t>(got)))
                    return;
                lastData = lastIdle = lastCheck = CClock::now();
                continue;
            }
            if (got < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR))
                continue;
            if (got < 0 && errno != ENOTSOCK && errno != ESHUTDOWN) {
                DeliverSocketState(fd, CReportEvent::kError, errno);
            }
            return;
        }
        if (Elapsed(lastCheck, kPeerCheckMs)) {
            lastCheck = CClock::now();
            if (!PeerExists(fd))
                return;
        }
        if (idleMs > 0 && Elapsed(lastIdle, idleMs)) {
            lastIdle = CClock::now();
            if (!DeliverState(CReportEvent::kIdle))
                return;
        }
    }
}

void CSocketClient::Run(const std::atomic<bool>& stop) {
    while (!stop) {
        int fd;
        {
            std::lock_guard<std::mutex> lock(m_socketLock);
            fd = m_socket;
        }
        if (fd < 0) {
            if (!m_reconnect)
                break;  // Start made the only connection
            if (!Connect())
                WaitUnlessStopped(kRetryWaitMs);
            continue;
        }
        Serve(fd, stop);
        if (stop)
            break;
        Disconnect();
        if (!m_reconnect)
            break;
        WaitUnlessStopped(kRetryWaitMs);
    }
    Disconnect();
    DeliverState(CReportEvent::kEnd);
}

}  // namespace VEK
