#include "support/WakeupFd.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <cstdint>

namespace VEK {

CWakeupFd::CWakeupFd() : m_fd(eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {}

CWakeupFd::~CWakeupFd() {
    if (m_fd >= 0)
        close(m_fd);
}

void CWakeupFd::Signal() {
    uint64_t one = 1;
    [[maybe_unused]] ssize_t n = write(m_fd, &one, sizeof one);
}

void CWakeupFd::Clear() {
    uint64_t value;
    [[maybe_unused]] ssize_t n = read(m_fd, &value, sizeof value);
}

bool CWakeupFd::Wait(int ms) {
    pollfd entry{m_fd, POLLIN, 0};
    return poll(&entry, 1, ms) > 0;
}

}  // namespace VEK
