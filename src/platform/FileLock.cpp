#include "platform/FileLock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

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

}  // namespace VEK
