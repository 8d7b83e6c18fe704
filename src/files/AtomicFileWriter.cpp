#include "files/AtomicFileWriter.h"

#include <cerrno>
#include <string_view>

#include "platform/Folders.h"
#include "support/VekException.h"

namespace VEK {

CAtomicFileWriter::~CAtomicFileWriter() {
    if (m_fd >= 0)
        CommitTempFile(m_fd, m_temp, m_path, false);
}

bool CAtomicFileWriter::Open() {
    m_fd = CreateTempBeside(m_path, m_temp);
    m_offset = 0;
    if (m_fd < 0)
        Fail(errno);
    return m_fd >= 0;
}

void CAtomicFileWriter::Write(const char* bytes, size_t size) {
    if (m_fd < 0 || !WriteAllAt(m_fd, m_offset, std::string_view(bytes, size))) {
        Fail(m_fd < 0 ? EBADF : errno);
        throw CWriteFailureException(m_error);
    }
    m_offset += size;
}

bool CAtomicFileWriter::Commit() {
    if (m_fd < 0) {
        Fail(EBADF);
        return false;
    }
    const int fd = m_fd;
    m_fd = -1;
    if (CommitTempFile(fd, m_temp, m_path, true))
        return true;
    Fail(errno);
    return false;
}

}  // namespace VEK
