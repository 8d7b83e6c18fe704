#include "files/LogRingFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>

#include "platform/Folders.h"
#include "support/NumberText.h"

namespace VEK {

CLogRingFile::~CLogRingFile() {
    Close();
}

bool CLogRingFile::Open(const std::string& path, uint64_t ringBytes) {
    Close();
    m_path = path;
    // Never through a link or into anything but a regular file: the ring writes at offsets and
    // truncates, which must not land on a file someone pointed the log at.
    m_fd = open(path.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0644);
    struct stat st {};
    if (m_fd >= 0 && (fstat(m_fd, &st) != 0 || !S_ISREG(st.st_mode))) {
        close(m_fd);
        m_fd = -1;
    }
    if (m_fd < 0)
        return false;
    m_ringBytes = ringBytes;
    if (st.st_size == 0) {
        m_position = kFirstEntry;
        return WriteHeader();
    }
    char header[32] = {};
    ssize_t n = pread(m_fd, header, sizeof header - 1, 0);
    std::string text(header, n > 0 ? static_cast<size_t>(n) : 0);
    int64_t position = ParseLeadingDecimal(text.substr(0, text.find_first_of("\r\n")));
    // A damaged header must not let entries overwrite the header itself.
    m_position = position < static_cast<int64_t>(kFirstEntry) || static_cast<uint64_t>(position) > m_ringBytes
                     ? kFirstEntry
                     : static_cast<uint64_t>(position);
    return true;
}

std::string CLogRingFile::NewestLine() const {
    struct stat st {};
    if (m_fd < 0 || fstat(m_fd, &st) != 0)
        return {};
    // After a wrap the newest entry ends the file, followed by its marker; otherwise it ends where
    // the next one goes.
    const uint64_t size = static_cast<uint64_t>(st.st_size);
    const bool wrapped = m_position == kFirstEntry;
    const uint64_t end = wrapped ? size : m_position;
    constexpr uint64_t kLongestLine = 4096;
    if (end <= kFirstEntry || end > size)
        return {};
    const uint64_t from = end > kFirstEntry + kLongestLine ? end - kLongestLine : kFirstEntry;
    std::string text(end - from, '\0');
    if (pread(m_fd, text.data(), text.size(), static_cast<off_t>(from)) != static_cast<ssize_t>(text.size()))
        return {};
    if (wrapped) {
        if (text.size() < 4 || text.compare(text.size() - 4, 4, "@@\r\n") != 0)
            return {};
        text.resize(text.size() - 4);
    }
    if (text.size() < 2 || text.compare(text.size() - 2, 2, "\r\n") != 0)
        return {};
    text.resize(text.size() - 2);
    const size_t lineStart = text.rfind("\r\n");
    return lineStart == std::string::npos ? text : text.substr(lineStart + 2);
}

void CLogRingFile::Close() {
    if (m_fd >= 0)
        close(m_fd);
    m_fd = -1;
    m_path.clear();
}

bool CLogRingFile::WriteHeader() {
    char header[32];
    std::snprintf(header, sizeof header, "%012llu\r\n", static_cast<unsigned long long>(m_position));
    return WriteAllAt(m_fd, 0, header);
}

bool CLogRingFile::ReopenIfRemoved() {
    struct stat st {};
    if (m_fd >= 0 && fstat(m_fd, &st) == 0 && st.st_nlink > 0)
        return true;
    // Also when making it again failed before (its folder went again meanwhile): the log must not
    // fall silent for the rest of a run that lasts days.
    if (m_path.empty())
        return false;
    CreateFolderWithParents(FolderOf(m_path));
    return Open(std::string(m_path), m_ringBytes);
}

bool CLogRingFile::WriteLine(const std::string& line) {
    if (!ReopenIfRemoved())
        return false;
    if (!WriteAllAt(m_fd, m_position, line + "\r\n@@\r\n"))
        return false;
    uint64_t next = m_position + line.size() + 2;
    if (next > m_ringBytes) {
        // Cut the file right after the marker just written and wrap to the first entry.
        if (ftruncate(m_fd, static_cast<off_t>(next + 4)) != 0)
            return false;
        next = kFirstEntry;
    }
    m_position = next;
    return WriteHeader();
}

}  // namespace VEK
