#include "support/OtherUser.h"

#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <stdexcept>

namespace testing_support {
namespace {
constexpr const char* kSetpriv = "/usr/bin/setpriv";
}  // namespace

std::string WhyUsersCannotBeSwitched() {
    if (geteuid() != 0)
        return "needs root to act as two users";
    if (access(kSetpriv, X_OK) != 0)
        return std::string("needs ") + kSetpriv;
    return {};
}

uid_t UnusedUid(uid_t from) {
    uid_t uid = from;
    while (getpwuid(uid) != nullptr || getgrgid(static_cast<gid_t>(uid)) != nullptr) ++uid;
    return uid;
}

std::vector<std::string> AsUser(uid_t uid, const std::vector<std::string>& command,
                                const std::vector<std::string>& environment) {
    const std::string id = std::to_string(uid);
    std::vector<std::string> line{kSetpriv,         "--reuid=" + id, "--regid=" + id,
                                  "--clear-groups", "/usr/bin/env",  "-i"};
    const char* path = std::getenv("PATH");
    line.push_back(std::string("PATH=") + (path ? path : "/usr/bin:/bin"));
    line.insert(line.end(), environment.begin(), environment.end());
    line.insert(line.end(), command.begin(), command.end());
    return line;
}

std::string MakeFolderOf(uid_t uid, mode_t mode) {
    std::string pattern = "/tmp/hollowmere-user-XXXXXX";
    if (mkdtemp(pattern.data()) == nullptr || chown(pattern.c_str(), uid, static_cast<gid_t>(uid)) != 0 ||
        chmod(pattern.c_str(), mode) != 0)
        throw std::runtime_error("cannot make a folder for uid " + std::to_string(uid));
    return pattern;
}

}  // namespace testing_support
