#pragma once
#include <netinet/in.h>

#include <atomic>
#include <functional>
#include <string>
#include <vector>

#include "link/AbstractReport.h"
#include "link/CommProperty.h"
#include "link/SocketEvent.h"
#include "support/Thread.h"
#include "support/WakeupFd.h"

namespace VEK {

// Common part of the TCP reports: socket options, bounded sends, the peer check and the thread
// with its wake-up descriptor.
class CAbstractSocket : public CAbstractReport {
public:
    ~CAbstractSocket() override;
    // Set (the default): Nagle's delay stays on.
    void SetDelay(bool delay) { m_delay = delay; }
    bool IsRunning() const override { return m_thread.IsRunning(); }
    void DropPending() override {}
    CThread& Thread() { return m_thread; }

    // Fills address from a dotted address or a host name; false when neither resolves.
    static bool ResolveAddress(const std::string& host, uint16_t port, sockaddr_in& address);

protected:
    static constexpr size_t kReceiveBufferSize = 10000;
    static constexpr int kPeerCheckMs = 2000;
    static constexpr int kSendTimeoutMs = 2000;
    static constexpr int kRetryWaitMs = 2000;

    bool StartThread(std::function<void(const std::atomic<bool>&)> body);
    void StopThread();
    bool StopRequested() const { return m_thread.StopRequested(); }
    // Sleeps up to ms, less when Stop wakes the thread.
    void WaitUnlessStopped(int ms);

    void ApplySocketOptions(int fd) const;
    // All bytes or false; never raises SIGPIPE and never blocks beyond kSendTimeoutMs.
    static bool SendAll(int fd, const uint8_t* bytes, size_t size);
    // False when the peer has closed or reset the connection.
    static bool PeerExists(int fd);
    static void ShutdownAndClose(int fd);

    bool DeliverSocketState(int fd, int kind, int errorCode = 0);
    bool DeliverSocketData(int fd, const uint8_t* bytes, size_t size);

    CWakeupFd m_wakeup;
    std::vector<uint8_t> m_receiveBuffer = std::vector<uint8_t>(kReceiveBufferSize);

private:
    bool m_delay = true;
    CThread m_thread;
};

}  // namespace VEK
