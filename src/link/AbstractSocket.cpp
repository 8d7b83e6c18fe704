#include "link/AbstractSocket.h"

#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>

namespace VEK {
namespace {

constexpr auto kStopTimeout = std::chrono::milliseconds(15000);

}  // namespace

CAbstractSocket::~CAbstractSocket() = default;

bool CAbstractSocket::ResolveAddress(const std::string& host, uint16_t port, sockaddr_in& address) {
    std::memset(&address, 0, sizeof address);
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    if (inet_pton(AF_INET, host.c_str(), &address.sin_addr) == 1)
        return true;
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* result = nullptr;
    if (getaddrinfo(host.c_str(), nullptr, &hints, &result) != 0 || result == nullptr)
        return false;
    address.sin_addr = reinterpret_cast<sockaddr_in*>(result->ai_addr)->sin_addr;
    freeaddrinfo(result);
    return true;
}

bool CAbstractSocket::StartThread(std::function<void(const std::atomic<bool>&)> body) {
    return m_thread.Start(std::move(body));
}

void CAbstractSocket::StopThread() {
    m_thread.RequestStop();
    m_wakeup.Signal();
    m_thread.Stop(kStopTimeout);
    m_wakeup.Clear();
}

void CAbstractSocket::WaitUnlessStopped(int ms) {
    if (!StopRequested())
        m_wakeup.Wait(ms);
}

void CAbstractSocket::ApplySocketOptions(int fd) const {
    int noDelay = m_delay ? 0 : 1;
    int one = 1;
    setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &noDelay, sizeof noDelay);
    setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
}

bool CAbstractSocket::SendAll(int fd, const uint8_t* bytes, size_t size) {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kSendTimeoutMs);
    size_t sent = 0;
    while (sent < size) {
        ssize_t n = send(fd, bytes + sent, size - sent, MSG_NOSIGNAL | MSG_DONTWAIT);
        if (n > 0) {
            sent += static_cast<size_t>(n);
            continue;
        }
        if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR)
            return false;
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline -
                                                                          std::chrono::steady_clock::now());
        if (left.count() <= 0)
            return false;
        pollfd entry{fd, POLLOUT, 0};
        poll(&entry, 1, static_cast<int>(left.count()));
    }
    return true;
}

bool CAbstractSocket::PeerExists(int fd) {
    uint8_t byte;
    ssize_t n = recv(fd, &byte, 1, MSG_PEEK | MSG_DONTWAIT);
    if (n > 0)
        return true;
    if (n == 0)
        return false;
    return errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR;
}

void CAbstractSocket::ShutdownAndClose(int fd) {
    shutdown(fd, SHUT_RDWR);
    close(fd);
}

bool CAbstractSocket::DeliverSocketState(int fd, int kind, int errorCode) {
    return Deliver(CSocketEvent(CReportEvent::State(this, kind, errorCode), fd));
}

bool CAbstractSocket::DeliverSocketData(int fd, const uint8_t* bytes, size_t size) {
    return Deliver(CSocketEvent(CReportEvent::Data(this, bytes, size), fd));
}

}  // namespace VEK
