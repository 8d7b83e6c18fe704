#include "platform/SingleInstance.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace VEK {
namespace {

std::string RuntimeFolder() {
    if (const char* dir = std::getenv("XDG_RUNTIME_DIR"); dir != nullptr && dir[0] == '/')
        return dir;
    std::string folder = "/tmp/hollowmere-" + std::to_string(getuid());
    mkdir(folder.c_str(), 0700);
    return folder;
}

bool FillAddress(const std::string& path, sockaddr_un& address) {
    std::memset(&address, 0, sizeof address);
    address.sun_family = AF_UNIX;
    if (path.size() >= sizeof address.sun_path)
        return false;
    std::memcpy(address.sun_path, path.c_str(), path.size());
    return true;
}

}  // namespace

CSingleInstance::CSingleInstance(std::string key) : m_key(std::move(key)), m_folder(RuntimeFolder()) {}

CSingleInstance::~CSingleInstance() {
    if (m_wakeFds[1] >= 0) {
        char byte = 1;
        (void)!write(m_wakeFds[1], &byte, 1);
    }
    m_listener.Stop(std::chrono::milliseconds(2000));
    for (int fd : {m_listenFd, m_wakeFds[0], m_wakeFds[1]}) {
        if (fd >= 0)
            close(fd);
    }
    if (m_lockFd >= 0) {
        unlink(SocketPath().c_str());
        close(m_lockFd);  // releases the flock
    }
}

bool CSingleInstance::Acquire(const std::string& ownerName) {
    if (m_lockFd >= 0)
        return true;
    int fd = open(LockPath().c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0)
        return false;
    if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
        close(fd);
        return false;
    }
    if (ftruncate(fd, 0) == 0)
        (void)!pwrite(fd, ownerName.data(), ownerName.size(), 0);
    m_lockFd = fd;
    return true;
}

std::string CSingleInstance::OwnerName() const {
    int fd = open(LockPath().c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return {};
    char buffer[256];
    ssize_t n = read(fd, buffer, sizeof buffer);
    close(fd);
    return n > 0 ? std::string(buffer, static_cast<size_t>(n)) : std::string();
}

bool CSingleInstance::NotifyOwner(int timeoutMs) const {
    sockaddr_un address;
    if (!FillAddress(SocketPath(), address))
        return false;
    int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0)
        return false;
    bool ok = connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    if (!ok && errno == EINPROGRESS) {
        pollfd p{fd, POLLOUT, 0};
        ok = poll(&p, 1, timeoutMs) == 1 && (p.revents & POLLOUT) != 0;
    }
    ok = ok && send(fd, "raise\n", 6, MSG_NOSIGNAL) == 6;
    close(fd);
    return ok;
}

bool CSingleInstance::Listen(std::function<void()> onRaise) {
    if (m_lockFd < 0 || m_listenFd >= 0)
        return false;
    sockaddr_un address;
    if (!FillAddress(SocketPath(), address))
        return false;
    unlink(SocketPath().c_str());  // left behind by an owner that crashed; we hold the lock now
    m_listenFd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (m_listenFd < 0 || bind(m_listenFd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        listen(m_listenFd, 4) != 0 || pipe2(m_wakeFds, O_CLOEXEC) != 0) {
        return false;
    }
    return m_listener.Start([this, onRaise](const std::atomic<bool>& stop) { ListenLoop(stop, onRaise); });
}

void CSingleInstance::ListenLoop(const std::atomic<bool>& stop, std::function<void()> onRaise) {
    while (!stop) {
        pollfd fds[2] = {{m_listenFd, POLLIN, 0}, {m_wakeFds[0], POLLIN, 0}};
        if (poll(fds, 2, 1000) < 0 && errno != EINTR)
            return;
        if (fds[1].revents != 0)
            return;
        if ((fds[0].revents & POLLIN) == 0)
            continue;
        int client = accept4(m_listenFd, nullptr, nullptr, SOCK_CLOEXEC);
        if (client < 0)
            continue;
        pollfd p{client, POLLIN, 0};
        char buffer[16];
        if (poll(&p, 1, 500) == 1 && recv(client, buffer, sizeof buffer, 0) > 0)
            onRaise();
        close(client);
    }
}

}  // namespace VEK
