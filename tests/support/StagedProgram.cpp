#include "support/StagedProgram.h"

#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <vector>

namespace testing_support {
namespace {

namespace fs = std::filesystem;

struct TLibrary {
    std::string name;
    std::string path;  // empty when the loader cannot find it
};

// The libraries the dynamic loader maps for program, as ldd lists them.
std::vector<TLibrary> LoadedLibraries(const std::string& program) {
    std::vector<TLibrary> libraries;
    const std::string command = "ldd '" + program + "' 2>/dev/null";
    const std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
    if (pipe == nullptr)
        return libraries;
    char buffer[4096];
    while (std::fgets(buffer, sizeof buffer, pipe.get()) != nullptr) {
        // "\tname => /path (0x...)", "\t/path (0x...)", "\tname => not found", "\tlinux-vdso.so.1 (0x...)"
        const std::string line(buffer);
        const size_t nameAt = line.find_first_not_of(" \t");
        if (nameAt == std::string::npos)
            continue;
        const size_t arrow = line.find(" => ");
        const size_t pathAt = arrow == std::string::npos ? nameAt : arrow + 4;
        const std::string name = line.substr(nameAt, line.find_first_of(" \n", nameAt) - nameAt);
        const std::string path = line.substr(pathAt, line.find_first_of(" \n", pathAt) - pathAt);
        if (line.compare(pathAt, 9, "not found") == 0)
            libraries.push_back({name, {}});
        else if (path.rfind('/', 0) == 0)
            libraries.push_back({name, path});
    }
    return libraries;
}

// Every folder above path must let others in; the file itself must let them read it.
std::string CheckChain(const fs::path& path) {
    struct stat st {};
    if (stat(path.c_str(), &st) != 0)
        return path.string() + " is missing";
    if ((st.st_mode & S_IROTH) == 0)
        return path.string() + " is not readable by other users";
    for (fs::path folder = path.parent_path(); !folder.empty(); folder = folder.parent_path()) {
        if (stat(folder.c_str(), &st) != 0 || (st.st_mode & S_IXOTH) == 0)
            return "other users cannot enter " + folder.string();
        if (folder == folder.root_path())
            break;
    }
    return {};
}

}  // namespace

std::string WhatKeepsOthersFrom(const std::string& path) {
    const fs::path absolute = fs::absolute(path);
    if (std::string why = CheckChain(absolute); !why.empty())
        return why;
    // The link's target and the folders above it, too.
    std::error_code error;
    const fs::path target = fs::canonical(absolute, error);
    return error ? path + " cannot be resolved" : CheckChain(target);
}

CStagedProgram::CStagedProgram(const std::string& program) {
    std::string pattern = "/tmp/hollowmere-program-XXXXXX";
    if (mkdtemp(pattern.data()) == nullptr) {
        m_problem = "cannot make a folder in /tmp for a copy of " + program;
        return;
    }
    m_folder = pattern;
    m_path = m_folder + "/" + fs::path(program).filename().string();
    std::error_code error;
    fs::copy_file(program, m_path, error);
    // Modes set outright: the umask of whoever runs the tests must not decide them.
    if (error || chmod(m_folder.c_str(), 0755) != 0 || chmod(m_path.c_str(), 0755) != 0) {
        m_problem = "cannot copy " + program + " to " + m_folder;
        return;
    }
    m_problem = WhatKeepsOthersFrom(m_path);
    for (const TLibrary& library : LoadedLibraries(m_path)) {
        if (!m_problem.empty())
            break;
        m_problem = library.path.empty() ? library.name + ", which " + program + " loads, is not found"
                                         : WhatKeepsOthersFrom(library.path);
    }
}

CStagedProgram::~CStagedProgram() {
    if (!m_folder.empty()) {
        std::error_code ignored;
        fs::remove_all(m_folder, ignored);
    }
}

}  // namespace testing_support
