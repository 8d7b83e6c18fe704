#pragma once
// A TCP relay on 127.0.0.1 between the simulator and the application's development port that can
// hold back what the simulator sends for a while, as a stalled link does, and then deliver all of
// it at once. Nothing is lost or reordered.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <string>
#include <thread>

namespace record_e2e {

class CLinkHoldProxy {
public:
    // Relays to the application's port; Port() is where the simulator connects.
    explicit CLinkHoldProxy(uint16_t target) : m_target(target) {
        m_listener = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in address = Loopback(0);
        if (m_listener < 0 || bind(m_listener, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
            listen(m_listener, 1) != 0)
            return;
        socklen_t length = sizeof address;
        getsockname(m_listener, reinterpret_cast<sockaddr*>(&address), &length);
        m_port = ntohs(address.sin_port);
        m_thread = std::thread([this] { Run(); });
    }
    ~CLinkHoldProxy() {
        m_stop = true;
        if (m_thread.joinable())
            m_thread.join();
        if (m_listener >= 0)
            close(m_listener);
    }
    CLinkHoldProxy(const CLinkHoldProxy&) = delete;
    CLinkHoldProxy& operator=(const CLinkHoldProxy&) = delete;

    uint16_t Port() const { return m_port; }
    // From now on, for the span, what the simulator sends is kept back.
    void Hold(std::chrono::milliseconds span) {
        m_holdUntil = std::chrono::steady_clock::now() + span;
        m_holding = true;
    }
    bool Holding() const { return m_holding; }
    // Bytes the simulator sent while the link was held.
    uint64_t HeldBytes() const { return m_heldBytes; }

private:
    static sockaddr_in Loopback(uint16_t port) {
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_port = htons(port);
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        return address;
    }
    // Waits up to 100 ms for the socket; true when it is ready.
    static bool Ready(int fd, short events) {
        pollfd p{fd, events, 0};
        return poll(&p, 1, 100) > 0 && (p.revents & (events | POLLHUP | POLLERR)) != 0;
    }

    void Run() {
        while (!m_stop) {
            if (!Ready(m_listener, POLLIN))
                continue;
            const int sim = accept4(m_listener, nullptr, nullptr, SOCK_CLOEXEC);
            const int app = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
            const sockaddr_in address = Loopback(m_target);
            if (sim >= 0 && app >= 0 &&
                connect(app, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0)
                Relay(sim, app);
            if (sim >= 0)
                close(sim);
            if (app >= 0)
                close(app);
        }
    }

    // Until either side closes: the application's bytes straight on, the simulator's unless held.
    void Relay(int sim, int app) {
        std::string fromSim;
        std::string fromApp;
        char buffer[4096];
        while (!m_stop) {
            if (m_holding && std::chrono::steady_clock::now() >= m_holdUntil.load())
                m_holding = false;
            pollfd p[2] = {
                {sim, static_cast<short>(POLLIN | (fromApp.empty() ? 0 : POLLOUT)), 0},
                {app, static_cast<short>(POLLIN | (fromSim.empty() || m_holding ? 0 : POLLOUT)), 0}};
            if (poll(p, 2, 20) < 0)
                return;
            for (int i = 0; i < 2; ++i) {
                if ((p[i].revents & POLLIN) != 0) {
                    const ssize_t n = recv(p[i].fd, buffer, sizeof buffer, 0);
                    if (n <= 0)
                        return;
                    (i == 0 ? fromSim : fromApp).append(buffer, static_cast<size_t>(n));
                    if (i == 0 && m_holding)
                        m_heldBytes += static_cast<uint64_t>(n);
                } else if ((p[i].revents & (POLLHUP | POLLERR)) != 0) {
                    return;
                }
            }
            if ((p[0].revents & POLLOUT) != 0 && !Send(sim, fromApp))
                return;
            if ((p[1].revents & POLLOUT) != 0 && !Send(app, fromSim))
                return;
        }
    }
    static bool Send(int fd, std::string& pending) {
        const ssize_t n = send(fd, pending.data(), pending.size(), MSG_NOSIGNAL | MSG_DONTWAIT);
        if (n < 0)
            return errno == EAGAIN || errno == EWOULDBLOCK;
        pending.erase(0, static_cast<size_t>(n));
        return true;
    }

    const uint16_t m_target;
    int m_listener = -1;
    uint16_t m_port = 0;
    std::atomic<bool> m_stop{false};
    std::atomic<bool> m_holding{false};
    std::atomic<std::chrono::steady_clock::time_point> m_holdUntil{};
    std::atomic<uint64_t> m_heldBytes{0};
    std::thread m_thread;
};

}  // namespace record_e2e
