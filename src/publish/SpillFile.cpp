#include "publish/SpillFile.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "support/NumberText.h"

namespace {

constexpr const char* kSignature = "Hollowmere-MQTT-Spill,1.00,";
constexpr size_t kReadChunk = 64 * 1024;

bool WriteAll(int fd, const char* data, size_t size, uint64_t offset) {
    while (size > 0) {
        const ssize_t n = pwrite(fd, data, size, static_cast<off_t>(offset));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        data += n;
        size -= static_cast<size_t>(n);
        offset += static_cast<uint64_t>(n);
    }
    return true;
}

std::string ErrnoText(const std::string& what, const std::string& path) {
    return what + " \"" + path + "\": " + std::strerror(errno);
}

}  // namespace

CSpillFile::~CSpillFile() {
    if (m_fd >= 0)
        close(m_fd);
}

std::string CSpillFile::FormatLine(const std::string& topic, const std::string& payload) {
    return topic + "\t" + payload + "\r\n";
}

bool CSpillFile::Open(std::string& error) {
    if (m_fd >= 0)
        return true;
    m_fd = open(m_path.c_str(), O_RDWR | O_CLOEXEC);
    if (m_fd < 0) {
        if (errno == ENOENT)
            return true;
        error = ErrnoText("cannot open the spill file", m_path);
        return false;
    }
    if (!Lock(error))
        return false;
    char header[kHeaderSize + 1] = {};
    const ssize_t n = pread(m_fd, header, kHeaderSize, 0);
    const size_t signatureLength = std::strlen(kSignature);
    if (n != static_cast<ssize_t>(kHeaderSize) || std::strncmp(header, kSignature, signatureLength) != 0 ||
        header[kHeaderSize - 2] != '\r' || header[kHeaderSize - 1] != '\n') {
        close(m_fd);
        m_fd = -1;
        error = "\"" + m_path + "\" is not a spill file";
        return false;
    }
    const std::string digits(header + signatureLength, kHeaderSize - 2 - signatureLength);
    const auto delivered = VEK::ParseWholeDecimal(digits);
    m_size = static_cast<uint64_t>(lseek(m_fd, 0, SEEK_END));
    m_delivered = delivered && *delivered >= static_cast<int64_t>(kHeaderSize)
                      ? std::min<uint64_t>(static_cast<uint64_t>(*delivered), m_size)
                      : kHeaderSize;
    m_readPos = m_delivered;
    return ScanUnread();
}

bool CSpillFile::ScanUnread() {
    m_unreadLines = 0;
    uint64_t lastLineEnd = m_readPos;
    std::vector<char> buffer(kReadChunk);
    for (uint64_t pos = m_readPos; pos < m_size;) {
        const ssize_t n = pread(m_fd, buffer.data(), buffer.size(), static_cast<off_t>(pos));
        if (n <= 0)
            return false;
        for (ssize_t i = 0; i < n; ++i) {
            if (buffer[static_cast<size_t>(i)] == '\n') {
                ++m_unreadLines;
                lastLineEnd = pos + static_cast<uint64_t>(i) + 1;
            }
        }
        pos += static_cast<uint64_t>(n);
    }
    if (lastLineEnd < m_size) {
        if (ftruncate(m_fd, static_cast<off_t>(lastLineEnd)) != 0)
            return false;
        m_size = lastLineEnd;
    }
    return true;
}

bool CSpillFile::Lock(std::string& error) {
    if (flock(m_fd, LOCK_EX | LOCK_NB) == 0)
        return true;
    close(m_fd);
    m_fd = -1;
    error = "the spill file \"" + m_path + "\" is in use by another process";
    return false;
}

bool CSpillFile::Create(std::string& error) {
    m_fd = open(m_path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (m_fd < 0) {
        error = ErrnoText("cannot create the spill file", m_path);
        return false;
    }
    if (!Lock(error))
        return false;
    m_delivered = m_readPos = m_size = kHeaderSize;
    m_unreadLines = 0;
    if (ftruncate(m_fd, 0) != 0 || !WriteHeader()) {
        error = ErrnoText("cannot write the spill file", m_path);
        Remove();
        return false;
    }
    return true;
}

bool CSpillFile::WriteHeader() {
    char header[kHeaderSize + 1];
    std::snprintf(header, sizeof header, "%s%013llu\r\n", kSignature,
                  static_cast<unsigned long long>(m_delivered));
    return WriteAll(m_fd, header, kHeaderSize, 0);
}

bool CSpillFile::Append(const std::vector<TLine>& lines, std::string& error) {
    if (m_fd < 0 && !Create(error))
        return false;
    std::string block;
    uint64_t written = 0;
    for (size_t i = 0; i < lines.size(); ++i) {
        block += FormatLine(lines[i].topic, lines[i].payload);
        if (block.size() < kReadChunk && i + 1 < lines.size())
            continue;
        if (!WriteAll(m_fd, block.data(), block.size(), m_size + written)) {
            error = ErrnoText("cannot write the spill file", m_path);
            [[maybe_unused]] int ignored = ftruncate(m_fd, static_cast<off_t>(m_size));
            return false;
        }
        written += block.size();
        block.clear();
    }
    m_size += written;
    m_unreadLines += lines.size();
    return true;
}

std::vector<CSpillFile::TLine> CSpillFile::ReadLines(size_t maxLines) {
    std::vector<TLine> lines;
    std::string pending;
    std::vector<char> buffer(kReadChunk);
    while (lines.size() < maxLines && m_unreadLines > 0) {
        const uint64_t from = m_readPos + pending.size();
        const ssize_t n = pread(m_fd, buffer.data(), buffer.size(), static_cast<off_t>(from));
        if (n <= 0)
            break;
        pending.append(buffer.data(), static_cast<size_t>(n));
        size_t start = 0;
        for (size_t end = pending.find('\n'); end != std::string::npos && lines.size() < maxLines;
             end = pending.find('\n', start)) {
            TLine line;
            line.bytes = end + 1 - start;
            const size_t textEnd = end > start && pending[end - 1] == '\r' ? end - 1 : end;
            const size_t tab = pending.find('\t', start);
            if (tab < textEnd) {
                line.topic = pending.substr(start, tab - start);
                line.payload = pending.substr(tab + 1, textEnd - tab - 1);
            }
            lines.push_back(std::move(line));
            start = end + 1;
            --m_unreadLines;
        }
        m_readPos += start;
        pending.erase(0, start);
    }
    return lines;
}

void CSpillFile::Consume(uint64_t bytes) {
    m_delivered = std::min(m_delivered + bytes, m_readPos);
}

bool CSpillFile::SaveProgress() {
    if (m_fd < 0)
        return true;
    if (m_delivered >= m_size && m_unreadLines == 0) {
        Remove();
        return true;
    }
    return WriteHeader();
}

void CSpillFile::Remove() {
    unlink(m_path.c_str());
    close(m_fd);
    m_fd = -1;
    m_delivered = m_readPos = m_size = 0;
    m_unreadLines = 0;
}
