#pragma once
// What the fuzzers share: a failed check aborts, so that libFuzzer keeps the input; a private
// folder for the files a target writes; the input as a command line.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace fuzz {

inline void Require(bool condition) {
    if (!condition)
        std::abort();
}

// A folder of this process for the files it writes, in memory when /dev/shm allows; HOME and the
// XDG folders point into it, so that the log and settings never reach the real home. Made at the
// first call, removed at exit.
inline const std::string& Folder() {
    static const std::string folder = [] {
        const char* base = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : std::getenv("TMPDIR");
        std::string pattern = std::string(base != nullptr ? base : "/tmp") + "/hollowmere-fuzz-XXXXXX";
        Require(mkdtemp(pattern.data()) != nullptr);
        setenv("HOME", pattern.c_str(), 1);
        for (const char* name : {"XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME", "XDG_RUNTIME_DIR"}) {
            const std::string sub = pattern + "/" + name;
            std::filesystem::create_directory(sub);
            setenv(name, sub.c_str(), 1);
        }
        static const std::string removed = pattern;
        std::atexit([] {
            std::error_code ignored;
            std::filesystem::remove_all(removed, ignored);
        });
        return pattern;
    }();
    return folder;
}

// The input as argv[1..]: arguments separated by NUL bytes.
inline std::vector<std::string> Arguments(const uint8_t* data, size_t size) {
    std::vector<std::string> args;
    if (size == 0)
        return args;
    const std::string text(reinterpret_cast<const char*>(data), size);
    size_t start = 0;
    for (size_t nul; (nul = text.find('\0', start)) != std::string::npos; start = nul + 1)
        args.push_back(text.substr(start, nul - start));
    args.push_back(text.substr(start));
    return args;
}

// Writes bytes to a file of the folder, replacing it. The file is the user's alone (mode 0600,
// whatever the umask), as readers that refuse files others could have written require.
inline std::string WriteFile(const std::string& name, const uint8_t* data, size_t size) {
    const std::string path = Folder() + "/" + name;
    const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    Require(fd >= 0 && fchmod(fd, 0600) == 0);
    for (size_t done = 0; done < size;) {
        const ssize_t n = write(fd, data + done, size - done);
        Require(n > 0);
        done += static_cast<size_t>(n);
    }
    Require(close(fd) == 0);
    return path;
}

}  // namespace fuzz
