#include "platform/RegularFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace VEK {
namespace {

std::string ErrorText(int error) {
    char buffer[128];
    return strerror_r(error, buffer, sizeof buffer);  // the GNU form: returns the text
}

TFileRead Failed(std::string problem) {
    TFileRead read;
    read.result = TFileRead::EResult::kFailed;
    read.problem = std::move(problem);
    return read;
}

// Reads to the end, failing once more than maxBytes came: the file may have grown since fstat.
TFileRead ReadUpTo(int fd, size_t maxBytes) {
    TFileRead read;
    read.result = TFileRead::EResult::kRead;
    char buffer[65536];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return Failed(ErrorText(errno));
        if (n == 0)
            return read;
        if (read.bytes.size() + static_cast<size_t>(n) > maxBytes)
            return Failed("is larger than " + std::to_string(maxBytes) + " bytes");
        read.bytes.append(buffer, static_cast<size_t>(n));
    }
}

}  // namespace

TFileRead ReadRegularFile(const std::string& path, size_t maxBytes) {
    // Non-blocking: opening a FIFO for reading would otherwise wait for a writer.
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0) {
        if (errno == ENOENT)
            return TFileRead{};
        return Failed(ErrorText(errno));
    }
    struct stat st {};
    TFileRead read;
    if (fstat(fd, &st) != 0) {
        read = Failed(ErrorText(errno));
    } else if (S_ISDIR(st.st_mode)) {
        read = Failed("is a folder");
    } else if (!S_ISREG(st.st_mode)) {
        read = Failed("is not a regular file");
    } else if (static_cast<uint64_t>(st.st_size) > maxBytes) {
        read = Failed("is larger than " + std::to_string(maxBytes) + " bytes");
    } else {
        read = ReadUpTo(fd, maxBytes);
    }
    close(fd);
    return read;
}

}  // namespace VEK
