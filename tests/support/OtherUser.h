#pragma once
// Tests that play two local users: run as root, they start programs under uids without a passwd
// entry through setpriv. Without root they skip, saying why.
#include <sys/types.h>

#include <string>
#include <vector>

namespace testing_support {

// Empty when the tests can switch users; otherwise why not (for GTEST_SKIP).
std::string WhyUsersCannotBeSwitched();
// The first uid from `from` on that has no passwd entry (and no group entry as gid).
uid_t UnusedUid(uid_t from);
// The command line that runs command as uid (gid the same, no supplementary groups) with only the
// given environment (PATH is added).
std::vector<std::string> AsUser(uid_t uid, const std::vector<std::string>& command,
                                const std::vector<std::string>& environment);
// A new folder below /tmp owned by uid with the given mode, for that user's files.
std::string MakeFolderOf(uid_t uid, mode_t mode);

}  // namespace testing_support
