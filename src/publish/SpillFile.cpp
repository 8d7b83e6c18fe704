#include "publish/SpillFile.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "platform/Folders.h"
#include "support/NumberText.h"

namespace {

constexpr const char* kSignature = "Hollowmere-MQTT-Spill,1.00,";
constexpr size_t kReadChunk = 64 * 1024;
constexpr uint64_t kPage = 4096;

bool WriteAll(int fd, const char* data, size_t size, uint64_t offset) {
    return VEK::WriteAllAt(fd, offset, std::string_view(data, size));
}

std::string ErrnoText(const std::string& what, const std::string& path) {
    return what + " \"" + path + "\": " + std::strerror(errno);
}

// Why a file of the spill folder must not be read: anyone who could have written it could make
// this user publish anything.
std::string FileProblem(const struct stat& st) {
    if (!S_ISREG(st.st_mode))
        return "is not a regular file";
    if (st.st_uid != geteuid())
        return "belongs to another user (uid " + std::to_string(st.st_uid) + ")";
    if ((st.st_mode & (S_IWGRP | S_IWOTH)) != 0)
        return "can be written by other users";
    return {};
}

// The folder's problem when it exists; a missing folder fails the creation by itself.
std::string FolderProblem(const std::string& path) {
    const std::string folder = VEK::FolderOf(path);
    struct stat st {};
    return stat(folder.empty() ? "." : folder.c_str(), &st) == 0 ? VEK::PrivateFolderProblem(folder) : "";
}

}  // namespace

CSpillFile::~CSpillFile() {
    if (m_fd >= 0)
        close(m_fd);
}

std::string CSpillFile::FormatLine(const std::string& topic, const std::string& payload) {
    return topic + "\t" + payload + "\r\n";
}

bool CSpillFile::Refuse(const std::string& error, std::string& out) {
    if (m_fd >= 0)
        close(m_fd);
    m_fd = -1;
    m_refusal = out = error;
    return false;
}

bool CSpillFile::Open(std::string& error) {
    if (m_fd >= 0)
        return true;
    if (!m_refusal.empty())
        return Refuse(m_refusal, error);
    // Never a link, never waiting on a FIFO.
    m_fd = open(m_path.c_str(), O_RDWR | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (m_fd < 0) {
        if (errno == ENOENT)
            return true;
        return Refuse(ErrnoText("cannot open the spill file", m_path), error);
    }
    struct stat st {};
    std::string problem = fstat(m_fd, &st) != 0 ? std::strerror(errno) : FileProblem(st);
    if (problem.empty())
        problem = FolderProblem(m_path);
    if (!problem.empty())
        return Refuse("the spill file \"" + m_path + "\" " + problem, error);
    if (!Lock(error))
        return Refuse(error, error);
    char header[kHeaderSize + 1] = {};
    const ssize_t n = pread(m_fd, header, kHeaderSize, 0);
    const size_t signatureLength = std::strlen(kSignature);
    if (n != static_cast<ssize_t>(kHeaderSize) || std::strncmp(header, kSignature, signatureLength) != 0 ||
        header[kHeaderSize - 2] != '\r' || header[kHeaderSize - 1] != '\n')
        return Refuse("\"" + m_path + "\" is not a spill file", error);
    const std::string digits(header + signatureLength, kHeaderSize - 2 - signatureLength);
    const auto delivered = VEK::ParseWholeDecimal(digits);
    m_size = static_cast<uint64_t>(st.st_size);
    m_delivered = delivered && *delivered >= static_cast<int64_t>(kHeaderSize)
                      ? std::min<uint64_t>(static_cast<uint64_t>(*delivered), m_size)
                      : kHeaderSize;
    m_readPos = m_delivered;
    return ScanUnread();
}

std::vector<char> CSpillFile::ReadBuffer(uint64_t from) const {
    // A small file costs a small buffer, not a zeroed chunk for every read.
    return std::vector<char>(
        static_cast<size_t>(std::clamp<uint64_t>(m_size - std::min(from, m_size), 1, kReadChunk)));
}

bool CSpillFile::ScanUnread() {
    m_unreadLines = 0;
    uint64_t lastLineEnd = m_readPos;
    std::vector<char> buffer = ReadBuffer(m_readPos);
    for (uint64_t pos = m_readPos; pos < m_size;) {
        const ssize_t n = pread(m_fd, buffer.data(), buffer.size(), static_cast<off_t>(pos));
        if (n <= 0)
            return false;
        for (const char* p = buffer.data();
             (p = static_cast<const char*>(
                  std::memchr(p, '\n', static_cast<size_t>(buffer.data() + n - p)))) != nullptr;
             ++p) {
            ++m_unreadLines;
            lastLineEnd = pos + static_cast<uint64_t>(p - buffer.data()) + 1;
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
    error = "the spill file \"" + m_path + "\" is in use by another process";
    return false;
}

bool CSpillFile::Create(std::string& error) {
    if (!m_refusal.empty()) {
        error = m_refusal;
        return false;
    }
    if (const std::string problem = FolderProblem(m_path); !problem.empty()) {
        error = "the spill file's folder \"" + VEK::FolderOf(m_path) + "\" " + problem;
        return false;
    }
    m_delivered = m_readPos = m_size = kHeaderSize;
    m_unreadLines = 0;
    char header[kHeaderSize + 1];
    std::snprintf(header, sizeof header, "%s%013llu\r\n", kSignature,
                  static_cast<unsigned long long>(m_delivered));
    // Appears only with its header and locked, and never over a file or link someone put there.
    m_fd = VEK::CreateNewFile(m_path, std::string_view(header, kHeaderSize), 0600);
    if (m_fd < 0) {
        error = ErrnoText("cannot create the spill file", m_path);
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

bool CSpillFile::Append(const TLineSource& next, std::string& error) {
    if (m_fd < 0 && !Create(error))
        return false;
    std::string block;
    uint64_t written = 0;
    uint64_t lines = 0;
    for (bool more = true; more;) {
        more = next(block);
        lines += more ? 1 : 0;
        if (block.size() < kReadChunk && more)
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
    m_unreadLines += lines;
    return true;
}

CSpillFile::TLine CSpillFile::SplitLine(const std::string& text, uint64_t bytes) {
    TLine line;
    line.bytes = bytes;
    if (bytes > kLongestLine)
        return line;
    size_t textEnd = text.size() - 1;  // before the LF
    if (textEnd > 0 && text[textEnd - 1] == '\r')
        --textEnd;
    const size_t tab = text.find('\t');
    if (tab < textEnd) {
        line.topic = text.substr(0, tab);
        line.payload = text.substr(tab + 1, textEnd - tab - 1);
    }
    return line;
}

// Each byte is looked at once, and a line is kept only up to kLongestLine: a line of any length
// costs no more than its reading.
std::vector<CSpillFile::TLine> CSpillFile::ReadLines(size_t maxLines) {
    std::vector<TLine> lines;
    std::vector<char> buffer = ReadBuffer(m_readPos);
    std::string text;        // the line so far, while it is not too long
    uint64_t lineBytes = 0;  // all of its bytes
    for (uint64_t pos = m_readPos; lines.size() < maxLines && m_unreadLines > 0;) {
        const ssize_t n = pread(m_fd, buffer.data(), buffer.size(), static_cast<off_t>(pos));
        if (n <= 0)
            break;
        const size_t size = static_cast<size_t>(n);
        for (size_t start = 0; start < size && lines.size() < maxLines;) {
            const auto* lineEnd =
                static_cast<const char*>(std::memchr(buffer.data() + start, '\n', size - start));
            const size_t end = lineEnd != nullptr ? static_cast<size_t>(lineEnd - buffer.data()) + 1 : size;
            if (lineBytes + (end - start) <= kLongestLine)
                text.append(buffer.data() + start, end - start);
            lineBytes += end - start;
            start = end;
            if (lineEnd == nullptr)
                break;
            lines.push_back(SplitLine(text, lineBytes));
            m_readPos += lineBytes;
            --m_unreadLines;
            text.clear();
            lineBytes = 0;
        }
        pos += size;
    }
    return lines;
}

void CSpillFile::Consume(uint64_t bytes) {
    m_delivered = std::min(m_delivered + bytes, m_readPos);
}

uint64_t CSpillFile::DropOldest(uint64_t keepBytes) {
    if (m_fd < 0 || m_delivered != m_readPos)
        return 0;
    uint64_t dropped = 0;
    std::vector<char> buffer = ReadBuffer(m_readPos);
    for (uint64_t pos = m_readPos; m_size - m_readPos > keepBytes && m_unreadLines > 0;) {
        const ssize_t n = pread(m_fd, buffer.data(), buffer.size(), static_cast<off_t>(pos));
        if (n <= 0)
            break;
        for (const char* p = buffer.data();
             m_size - m_readPos > keepBytes && m_unreadLines > 0 &&
             (p = static_cast<const char*>(
                  std::memchr(p, '\n', static_cast<size_t>(buffer.data() + n - p)))) != nullptr;
             ++p) {
            m_readPos = pos + static_cast<uint64_t>(p - buffer.data()) + 1;
            --m_unreadLines;
            ++dropped;
        }
        pos += static_cast<uint64_t>(n);
    }
    m_delivered = m_readPos;
    SaveProgress();
    // The lines before the delivered offset are never read again: their blocks go back to the
    // disk (where the file system can; elsewhere the file keeps its size until it is delivered).
    const uint64_t from = (kHeaderSize + kPage - 1) / kPage * kPage;
    const uint64_t to = m_delivered / kPage * kPage;
    if (m_fd >= 0 && to > from)
        fallocate(m_fd, FALLOC_FL_PUNCH_HOLE | FALLOC_FL_KEEP_SIZE, static_cast<off_t>(from),
                  static_cast<off_t>(to - from));
    return dropped;
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
    // Only while the name is still this file's.
    struct stat own {
    }, named{};
    if (fstat(m_fd, &own) == 0 && lstat(m_path.c_str(), &named) == 0 && own.st_dev == named.st_dev &&
        own.st_ino == named.st_ino)
        unlink(m_path.c_str());
    close(m_fd);
    m_fd = -1;
    m_delivered = m_readPos = m_size = 0;
    m_unreadLines = 0;
}
