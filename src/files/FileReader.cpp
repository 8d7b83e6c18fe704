#include "files/FileReader.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
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

std::string_view CFileReader::ReadAll() {
    struct stat st {};
    if (m_fd < 0 || fstat(m_fd, &st) != 0)
        throw CReadFailureException(m_fd < 0 ? EBADF : errno);
    // Sized from the file, grown should it have grown since.
    size_t capacity = static_cast<size_t>(st.st_size) + 1;
    m_bytes.reset(new char[capacity]);
    size_t done = 0;
    for (;;) {
        if (done == capacity) {
            std::unique_ptr<char[]> larger(new char[capacity * 2]);
            std::copy(m_bytes.get(), m_bytes.get() + done, larger.get());
            m_bytes = std::move(larger);
            capacity *= 2;
        }
        const ssize_t n = pread(m_fd, m_bytes.get() + done, capacity - done, static_cast<off_t>(done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            throw CReadFailureException(errno);
        if (n == 0)
            break;
        done += static_cast<size_t>(n);
    }
    return {m_bytes.get(), done};
}

}  // namespace VEK
