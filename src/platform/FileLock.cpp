#include "platform/FileLock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <fstream>

namespace VEK {
namespace {

// Not followed when a link, never blocking on a FIFO, not inherited by a child.
int OpenRegular(const std::string& path) {
    const int fd = open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    struct stat st {};
    if (fd >= 0 && (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode))) {
        close(fd);
        return -1;
    }
    return fd;
}

}  // namespace

CFileLock::~CFileLock() {
    Release();
}

bool CFileLock::Lock(const std::string& path) {
    Release();
    const int fd = OpenRegular(path);
    if (fd < 0)
        return false;
    int r = 0;
    while ((r = flock(fd, LOCK_EX | LOCK_NB)) != 0 && errno == EINTR) {
    }
    if (r != 0) {
        close(fd);
        return false;
    }
    m_fd = fd;
    return true;
}

void CFileLock::Adopt(int fd) {
    Release();
    m_fd = fd;
}

void CFileLock::Release() {
    if (m_fd >= 0)
        close(m_fd);  // releases the flock
    m_fd = -1;
}

bool CFileLock::IsLockedElsewhere(const std::string& path) {
    const int fd = OpenRegular(path);
    if (fd < 0)
        return false;
    int r = 0;
    while ((r = flock(fd, LOCK_EX | LOCK_NB)) != 0 && errno == EINTR) {
    }
    const bool locked = r != 0 && errno == EWOULDBLOCK;
    close(fd);
    return locked;
}

std::string CFileLock::HolderOf(const std::string& path) {
    struct stat st {};
    if (stat(path.c_str(), &st) != 0)
        return {};
    // Lines such as "3: FLOCK  ADVISORY  WRITE 1234 08:01:56789 0 EOF".
    std::ifstream locks("/proc/locks");
    std::string line;
    while (std::getline(locks, line)) {
        char kind[16] = {};
        long pid = 0;
        unsigned major = 0, minor = 0;
        unsigned long long inode = 0;
        if (std::sscanf(line.c_str(), "%*[^:]: %15s %*s %*s %ld %x:%x:%llu", kind, &pid, &major, &minor,
                        &inode) != 5 ||
            std::string(kind) != "FLOCK" || inode != st.st_ino || major != major(st.st_dev) ||
            minor != minor(st.st_dev) || pid <= 0)
            continue;
        std::string name;
        std::ifstream comm("/proc/" + std::to_string(pid) + "/comm");
        std::getline(comm, name);
        // Any process may name itself: no control characters reach a terminal.
        for (char& c : name) {
            if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F)
                c = '?';
        }
        return "process " + std::to_string(pid) + (name.empty() ? "" : " (" + name + ")");
    }
    return {};
}

}  // namespace VEK
