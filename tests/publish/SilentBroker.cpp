#include "SilentBroker.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <vector>

CSilentBroker::CSilentBroker(bool acceptsConnect) : m_acceptsConnect(acceptsConnect) {
    m_listener = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (bind(m_listener, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
        listen(m_listener, 8) == 0 &&
        getsockname(m_listener, reinterpret_cast<sockaddr*>(&address), &length) == 0)
        m_port = ntohs(address.sin_port);
    m_thread = std::thread([this] { Run(); });
}

CSilentBroker::~CSilentBroker() {
    m_stop = true;
    m_thread.join();
    close(m_listener);
}

void CSilentBroker::Run() {
    struct TClient {
        int fd;
        bool answered;
    };
    std::vector<TClient> clients;
    while (!m_stop) {
        std::vector<pollfd> fds{{m_listener, POLLIN, 0}};
        for (const TClient& client : clients) fds.push_back({client.fd, POLLIN, 0});
        if (poll(fds.data(), fds.size(), 50) <= 0)
            continue;
        if ((fds[0].revents & POLLIN) != 0) {
            const int fd = accept4(m_listener, nullptr, nullptr, SOCK_CLOEXEC);
            if (fd >= 0) {
                clients.push_back({fd, false});
                ++m_connections;
            }
        }
        for (size_t i = 1; i < fds.size(); ++i) {
            if (fds[i].revents == 0)
                continue;
            TClient& client = clients[i - 1];
            char buffer[4096];
            const ssize_t n = read(client.fd, buffer, sizeof buffer);
            if (n <= 0) {
                close(client.fd);
                client.fd = -1;
                continue;
            }
            // The first bytes are the client's CONNECT; "accepted", then silence.
            if (m_acceptsConnect && !client.answered) {
                const unsigned char connack[] = {0x20, 0x02, 0x00, 0x00};
                client.answered = write(client.fd, connack, sizeof connack) == sizeof connack;
            }
        }
        std::erase_if(clients, [](const TClient& client) { return client.fd < 0; });
    }
    for (const TClient& client : clients) close(client.fd);
}
