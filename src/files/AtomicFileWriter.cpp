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
    return m_fd >= 0;
}

void CAtomicFileWriter::Write(const char* bytes, size_t size) {
    if (m_fd < 0 || !WriteAllAt(m_fd, m_offset, std::string_view(bytes, size)))
        throw CWriteFailureException(m_fd < 0 ? EBADF : errno);
    m_offset += size;
}

bool CAtomicFileWriter::Commit() {
    if (m_fd < 0)
        return false;
    const int fd = m_fd;
    m_fd = -1;
    return CommitTempFile(fd, m_temp, m_path, true);
}

}  // namespace VEK
