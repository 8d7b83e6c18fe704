#include "platform/SingleInstance.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/Folders.h"

namespace VEK {
namespace {

// $XDG_RUNTIME_DIR, else the state folder below the home folder; empty without a home folder.
std::string LockFolder(bool& belowHome) {
    belowHome = false;
    if (const char* dir = std::getenv("XDG_RUNTIME_DIR"); dir != nullptr && dir[0] == '/')
        return dir;
    belowHome = true;
    if (const char* state = std::getenv("XDG_STATE_HOME"); state != nullptr && state[0] == '/')
        return std::string(state) + "/hollowmere";
    const std::string home = HomeFolder();
    return home.empty() ? std::string() : home + "/.local/state/hollowmere";
}

std::string ErrorText(int error) {
    char buffer[128];
    return strerror_r(error, buffer, sizeof buffer);  // the GNU form: returns the text
}

std::string Octal(mode_t mode) {
    char text[8];
    std::snprintf(text, sizeof text, "%04o", static_cast<unsigned>(mode & 07777));
    return text;
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

CSingleInstance::CSingleInstance(std::string key, std::vector<std::string> ownerNames)
    : m_key(std::move(key)), m_ownerNames(std::move(ownerNames)), m_folder(LockFolder(m_folderBelowHome)) {}

CSingleInstance::~CSingleInstance() {
    if (m_wakeFds[1] >= 0) {
        char byte = 1;
        (void)!write(m_wakeFds[1], &byte, 1);
    }
    m_listener.Stop(std::chrono::milliseconds(2000));
    for (int fd : {m_listenFd, m_wakeFds[0], m_wakeFds[1], m_folderFd}) {
        if (fd >= 0)
            close(fd);
    }
    if (m_lockFd >= 0) {
        unlink(SocketPath().c_str());
        close(m_lockFd);  // releases the flock
    }
}

bool CSingleInstance::OpenFolder() {
    if (m_folderFd >= 0)
        return true;
    if (m_folder.empty()) {
        m_problem = HomeFolderProblem();
        return false;
    }
    if (m_folderBelowHome) {
        CreateFolderWithParents(FolderOf(m_folder));
        mkdir(m_folder.c_str(), 0700);
    }
    // Not followed if it is a link: whoever could place the link could place its target too.
    const int fd = open(m_folder.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) {
        const int error = errno;
        m_problem = "cannot use the lock folder " + m_folder + ": " + ErrorText(error) +
                    (error == ELOOP || error == ENOTDIR ? " (not a folder); remove it" : "");
        return false;
    }
    struct stat st {};
    if (fstat(fd, &st) != 0 || st.st_uid != geteuid() || (st.st_mode & 07777) != 0700) {
        m_problem = "the lock folder " + m_folder + " belongs to user id " + std::to_string(st.st_uid) +
                    " with mode " + Octal(st.st_mode) + ", but must be yours with mode 0700; remove it";
        close(fd);
        return false;
    }
    m_folderFd = fd;
    return true;
}

bool CSingleInstance::Acquire(const std::string& ownerName) {
    m_problem.clear();
    if (m_lockFd >= 0)
        return true;
    if (!OpenFolder())
        return false;
    const int fd =
        openat(m_folderFd, LockName().c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0600);
    const int openError = errno;
    struct stat st {};
    if (fd < 0 || fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_uid != geteuid()) {
        m_problem = "the lock file " + LockPath() + " is not a regular file of yours" +
                    (fd < 0 ? " (" + ErrorText(openError) + ")" : std::string()) + "; remove it";
        if (fd >= 0)
            close(fd);
        return false;
    }
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
    if (m_folderFd < 0)
        return {};
    const int fd = openat(m_folderFd, LockName().c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return {};
    char buffer[64];
    const ssize_t n = read(fd, buffer, sizeof buffer);
    close(fd);
    const std::string stored(buffer, n > 0 ? static_cast<size_t>(n) : 0);
    // Only a name this program knows is ever shown: never bytes from the file.
    for (const std::string& name : m_ownerNames) {
        if (stored == name)
            return name;
    }
    return {};
}

bool CSingleInstance::NotifyOwner(int timeoutMs) const {
    sockaddr_un address;
    if (m_folderFd < 0 || !FillAddress(SocketPath(), address))
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
