#include "files/AppendFileWriter.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "support/VekException.h"

namespace VEK {

CAppendFileWriter::~CAppendFileWriter() {
    if (m_fd >= 0)
        close(m_fd);
}

bool CAppendFileWriter::Open() {
    m_fd = open(m_path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
    if (m_fd < 0) {
        Fail(errno);
        return false;
    }
    struct stat st {};
    if (fstat(m_fd, &st) != 0) {
        Fail(errno);
        close(m_fd);
        m_fd = -1;
        return false;
    }
    m_sizeAtOpen = st.st_size;
    return true;
}

void CAppendFileWriter::Write(const char* bytes, size_t size) {
    if (m_fd < 0) {
        Fail(EBADF);
        throw CWriteFailureException(EBADF);
    }
    while (size > 0) {
        const ssize_t n = write(m_fd, bytes, size);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            Fail(n < 0 ? errno : ENOSPC);
            throw CWriteFailureException(m_error);
        }
        bytes += n;
        size -= static_cast<size_t>(n);
    }
}

bool CAppendFileWriter::Rollback() {
    if (m_fd >= 0) {
        close(m_fd);
        m_fd = -1;
    }
    return truncate(m_path.c_str(), m_sizeAtOpen) == 0;
}

bool CAppendFileWriter::Close() {
    if (m_fd < 0)
        return false;
    const bool ok = close(m_fd) == 0;
    if (!ok)
        Fail(errno);
    m_fd = -1;
    return ok;
}

}  // namespace VEK
