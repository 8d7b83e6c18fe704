#pragma once
// A broker that takes connections on a loopback port and then never acknowledges anything: it
// answers nothing at all, or only the connect (CONNACK) and then no message and no ping.
#include <atomic>
#include <cstdint>
#include <string>
#include <thread>

class CSilentBroker {
public:
    explicit CSilentBroker(bool acceptsConnect);
    ~CSilentBroker();

    uint16_t Port() const { return m_port; }
    std::string Url() const { return "mqtt://127.0.0.1:" + std::to_string(m_port); }
    // Connections taken so far.
    int Connections() const { return m_connections; }

private:
    void Run();

    const bool m_acceptsConnect;
    int m_listener = -1;
    uint16_t m_port = 0;
    std::atomic<int> m_connections{0};
    std::atomic<bool> m_stop{false};
    std::thread m_thread;
};
