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
    m_fd = open(m_path.c_str(), O_RDONLY | O_CLOEXEC);
    return m_fd >= 0;
}

std::string CFileReader::ReadAll() {
    struct stat st {};
    if (m_fd < 0 || fstat(m_fd, &st) != 0)
        throw CReadFailureException(m_fd < 0 ? EBADF : errno);
    // Sized from the file, grown should it have grown since.
    std::string bytes(static_cast<size_t>(st.st_size) + 1, '\0');
    size_t done = 0;
    for (;;) {
        if (done == bytes.size())
            bytes.resize(bytes.size() * 2);
        const ssize_t n = pread(m_fd, bytes.data() + done, bytes.size() - done, static_cast<off_t>(done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            throw CReadFailureException(errno);
        if (n == 0)
            break;
        done += static_cast<size_t>(n);
    }
    bytes.resize(done);
    return bytes;
}

}  // namespace VEK
