#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <future>

#include "platform/SingleInstance.h"
#include "support/OtherUser.h"
#include "support/TestHome.h"

using namespace VEK;
using testing_support::ReadFile;
using testing_support::TestHome;
using testing_support::WriteFile;

namespace {
const std::vector<std::string> kOwners{"hollowmere", "hollowmere-record"};
}  // namespace

TEST(SingleInstance, SecondOwnerIsTurnedAwayAndRaisesTheFirst) {
    CSingleInstance first("Test.Key", kOwners);
    ASSERT_TRUE(first.Acquire("hollowmere"));
    std::promise<void> raised;
    ASSERT_TRUE(first.Listen([&] { raised.set_value(); }));

    {
        // flock is per open file description, so a second object in one process stands in for
        // a second process.
        CSingleInstance second("Test.Key", kOwners);
        EXPECT_FALSE(second.Acquire("hollowmere-record"));
        EXPECT_EQ(second.Problem(), "");
        EXPECT_EQ(second.OwnerName(), "hollowmere");
        EXPECT_TRUE(second.NotifyOwner(1000));
    }
    EXPECT_EQ(raised.get_future().wait_for(std::chrono::seconds(5)), std::future_status::ready);
}

TEST(SingleInstance, KeyIsFreeAgainAfterTheOwnerEnds) {
    {
        CSingleInstance owner("Test.Release", kOwners);
        ASSERT_TRUE(owner.Acquire("hollowmere"));
        ASSERT_TRUE(owner.Listen([] {}));
    }
    CSingleInstance next("Test.Release", kOwners);
    EXPECT_TRUE(next.Acquire("hollowmere-record"));
    EXPECT_FALSE(next.NotifyOwner(200));  // nobody listens now
}

namespace {

// Runs with XDG_RUNTIME_DIR unset and the state folder in a fresh place, as under su, sudo, ssh
// without a login session or cron.
class SingleInstanceWithoutRuntimeDir : public ::testing::Test {
protected:
    std::string state = TestHome() + "/state";
    std::string folder = state + "/hollowmere";
    std::string runtime = std::getenv("XDG_RUNTIME_DIR");

    void SetUp() override {
        std::filesystem::remove_all(state);
        unsetenv("XDG_RUNTIME_DIR");
        setenv("XDG_STATE_HOME", state.c_str(), 1);
    }
    void TearDown() override {
        setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
        unsetenv("XDG_STATE_HOME");
    }
};

}  // namespace

TEST_F(SingleInstanceWithoutRuntimeDir, MakesAPrivateFolderBelowHome) {
    CSingleInstance instance("Test.Home", kOwners);
    EXPECT_EQ(instance.Folder(), folder);
    ASSERT_TRUE(instance.Acquire("hollowmere")) << instance.Problem();
    struct stat st {};
    ASSERT_EQ(stat(folder.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0700u);
    EXPECT_TRUE(testing_support::FileExists(instance.LockPath()));
    unsetenv("XDG_STATE_HOME");
    EXPECT_EQ(CSingleInstance("Test.Home", kOwners).Folder(), TestHome() + "/.local/state/hollowmere");
}

// Whatever was prepared in place of the folder or the lock file: refused with the reason, and
// nothing the preparation points at is touched.
TEST_F(SingleInstanceWithoutRuntimeDir, RefusesWhatIsNotPrivate) {
    const std::string victim = TestHome() + "/victim.txt";
    const struct {
        const char* name;
        std::function<void(const std::string& folder, const std::string& lock)> prepare;
        const char* problem;
    } cases[] = {
        {"folder open to all",
         [](const std::string& f, const std::string&) {
             std::filesystem::create_directories(f);
             chmod(f.c_str(), 0777);
         },
         "with mode 0777, but must be yours with mode 0700"},
        {"folder readable by the group",
         [](const std::string& f, const std::string&) {
             std::filesystem::create_directories(f);
             chmod(f.c_str(), 0750);
         },
         "with mode 0750"},
        {"folder is a link",
         [this](const std::string& f, const std::string&) {
             std::filesystem::create_directories(TestHome() + "/elsewhere");
             chmod((TestHome() + "/elsewhere").c_str(), 0700);
             std::filesystem::create_directories(state);
             std::filesystem::create_directory_symlink(TestHome() + "/elsewhere", f);
         },
         "(not a folder); remove it"},
        {"folder of another user (checked when root)",
         [](const std::string& f, const std::string&) {
             std::filesystem::create_directories(f);
             chmod(f.c_str(), 0700);
             if (geteuid() == 0) {
                 const uid_t other = testing_support::UnusedUid(2001);
                 ASSERT_EQ(chown(f.c_str(), other, other), 0);
             }
         },
         geteuid() == 0 ? "belongs to user id" : ""},
        {"lock file is a link to another file",
         [&victim](const std::string& f, const std::string& lock) {
             std::filesystem::create_directories(f);
             chmod(f.c_str(), 0700);
             std::filesystem::create_symlink(victim, lock);
         },
         "is not a regular file of yours"},
        {"lock file is a FIFO",
         [](const std::string& f, const std::string& lock) {
             std::filesystem::create_directories(f);
             chmod(f.c_str(), 0700);
             mkfifo(lock.c_str(), 0600);
         },
         "is not a regular file of yours"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::filesystem::remove_all(state);
        std::filesystem::remove_all(TestHome() + "/elsewhere");
        WriteFile(victim, "precious");
        CSingleInstance instance("Test.Hostile", kOwners);
        c.prepare(folder, instance.LockPath());
        if (*c.problem == '\0') {
            EXPECT_TRUE(instance.Acquire("hollowmere")) << "not root: the folder is this user's own";
            continue;
        }
        EXPECT_FALSE(instance.Acquire("hollowmere"));
        EXPECT_NE(instance.Problem().find(c.problem), std::string::npos) << instance.Problem();
        EXPECT_EQ(instance.OwnerName(), "");
        EXPECT_FALSE(instance.NotifyOwner(100));
        EXPECT_EQ(ReadFile(victim), "precious");
    }
}

// The turned-away start says who holds the key only with a name it knows: bytes from the lock
// file (terminal escape codes, say) are never passed on.
TEST_F(SingleInstanceWithoutRuntimeDir, OwnerNameIsOnlyEverAKnownName) {
    CSingleInstance probe("Test.Escape", kOwners);
    ASSERT_TRUE(probe.Acquire("hollowmere"));
    const int holder = open(probe.LockPath().c_str(), O_RDWR | O_CLOEXEC);
    ASSERT_GE(holder, 0);
    const struct {
        std::string stored;
        std::string shown;
    } cases[] = {
        {"hollowmere-record", "hollowmere-record"},
        {"\x1b]0;owned\x07\x1b[2J", ""},
        {"hollowmere\n\x1b[31m", ""},
        {std::string(300, 'A'), ""},
    };
    for (const auto& c : cases) {
        ASSERT_EQ(ftruncate(holder, 0), 0);
        ASSERT_EQ(pwrite(holder, c.stored.data(), c.stored.size(), 0), static_cast<ssize_t>(c.stored.size()));
        CSingleInstance second("Test.Escape", kOwners);
        EXPECT_FALSE(second.Acquire("hollowmere"));
        EXPECT_EQ(second.OwnerName(), c.shown);
    }
    close(holder);
}
