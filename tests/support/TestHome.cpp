#include "support/TestHome.h"

#include <stdlib.h>
#include <sys/stat.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

namespace testing_support {
namespace {

std::string& HomeStorage() {
    static std::string home;
    return home;
}

void SetEnvironment(const std::string& home) {
    setenv("HOME", home.c_str(), 1);
    setenv("XDG_CONFIG_HOME", (home + "/.config").c_str(), 1);
    setenv("XDG_DATA_HOME", (home + "/.local/share").c_str(), 1);
    setenv("XDG_RUNTIME_DIR", (home + "/run").c_str(), 1);
    unsetenv("XDG_DOCUMENTS_DIR");
    std::filesystem::create_directories(home + "/run");
    chmod((home + "/run").c_str(), 0700);
}

}  // namespace

const std::string& TestHome() {
    std::string& home = HomeStorage();
    if (home.empty()) {
        std::string pattern = (std::filesystem::temp_directory_path() / "hollowmere-test-XXXXXX").string();
        home = mkdtemp(pattern.data());
        SetEnvironment(home);
    }
    return home;
}

void ResetTestHome() {
    const std::string& home = TestHome();
    // The log's writer thread may still be adding its file while the folder goes: try again.
    for (int attempt = 1;; ++attempt) {
        std::error_code error;
        std::filesystem::remove_all(home, error);
        if (!error)
            break;
        if (attempt == 100)
            throw std::filesystem::filesystem_error("cannot empty the test home", home, error);
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    std::filesystem::create_directories(home);
    SetEnvironment(home);
}

void WriteFile(const std::string& path, const std::string& bytes) {
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream(path, std::ios::binary) << bytes;
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

bool FileExists(const std::string& path) {
    return std::filesystem::exists(path);
}

}  // namespace testing_support
