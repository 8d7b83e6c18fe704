#include "files/FileReader.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "support/VekException.h"

namespace VEK {

CFileReader::~CFileReader() {
    if (m_fd >= 0)
        close(m_fd);
}

bool CFileReader::Open() {
    // Non-blocking, so that a FIFO in place of a data file is turned away instead of waited on.
    m_fd = open(m_path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    struct stat st {};
    if (m_fd >= 0 && (fstat(m_fd, &st) != 0 || !S_ISREG(st.st_mode))) {
        close(m_fd);
        m_fd = -1;
    }
    return m_fd >= 0;
}

size_t CFileReader::ReadAt(uint64_t offset, char* buffer, size_t size) {
    if (m_fd < 0)
        throw CReadFailureException(EBADF);
    size_t done = 0;
    while (done < size) {
        const ssize_t n = pread(m_fd, buffer + done, size - done, static_cast<off_t>(offset + done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            throw CReadFailureException(errno);
        if (n == 0)
            break;
        done += static_cast<size_t>(n);
    }
    return done;
}

uint64_t CFileReader::Size() {
    struct stat st {};
    if (m_fd < 0 || fstat(m_fd, &st) != 0)
        throw CReadFailureException(m_fd < 0 ? EBADF : errno);
    return static_cast<uint64_t>(st.st_size);
}

}  // namespace VEK
