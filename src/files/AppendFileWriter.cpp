#include "files/AppendFileWriter.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string_view>

#include "platform/Folders.h"
#include "support/VekException.h"

namespace VEK {

bool CAppendFileWriter::Open() {
    struct stat st {};
    if (m_fd < 0 || fstat(m_fd, &st) != 0) {
        Fail(m_fd < 0 ? EBADF : errno);
        return false;
    }
    m_sizeAtOpen = m_end = st.st_size;
    return true;
}

void CAppendFileWriter::Write(const char* bytes, size_t size) {
    if (m_fd < 0 || !WriteAllAt(m_fd, static_cast<uint64_t>(m_end), std::string_view(bytes, size))) {
        Fail(m_fd < 0 ? EBADF : (errno != 0 ? errno : ENOSPC));
        throw CWriteFailureException(m_error);
    }
    m_end += static_cast<off_t>(size);
}

bool CAppendFileWriter::Rollback() {
    return m_fd >= 0 && ftruncate(m_fd, m_sizeAtOpen) == 0;
}

}  // namespace VEK
