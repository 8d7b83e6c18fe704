#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <thread>

#include "platform/FileLock.h"
#include "support/TestHome.h"

using VEK::CFileLock;

namespace {

class FileLockTest : public ::testing::Test {
protected:
    std::string path = testing_support::TestHome() + "/locked.csv";

    void SetUp() override {
        testing_support::ResetTestHome();
        testing_support::WriteFile(path, "Brisquent-Working,1.01\r\n");
    }
};

}  // namespace

TEST_F(FileLockTest, OneHolderAtATimeAndReleasedAtTheEnd) {
    {
        CFileLock first;
        ASSERT_TRUE(first.Lock(path));
        EXPECT_TRUE(first.Held());
        EXPECT_TRUE(CFileLock::IsLockedElsewhere(path));
        // A second open of the same file, in this process too, is another holder.
        CFileLock second;
        EXPECT_FALSE(second.Lock(path));
        EXPECT_FALSE(second.Held());

        // Handed over without a gap.
        second.Swap(first);
        EXPECT_TRUE(second.Held());
        EXPECT_FALSE(first.Held());
        EXPECT_TRUE(CFileLock::IsLockedElsewhere(path));
    }
    EXPECT_FALSE(CFileLock::IsLockedElsewhere(path));
    CFileLock again;
    EXPECT_TRUE(again.Lock(path));
    again.Release();
    EXPECT_FALSE(CFileLock::IsLockedElsewhere(path));
}

TEST_F(FileLockTest, NothingButARegularFileIsLocked) {
    const std::string home = testing_support::TestHome();
    ASSERT_EQ(symlink(path.c_str(), (home + "/link.csv").c_str()), 0);
    ASSERT_EQ(mkfifo((home + "/fifo.csv").c_str(), 0600), 0);
    for (const std::string& other : {home + "/link.csv", home + "/fifo.csv", home, home + "/missing.csv"}) {
        CFileLock lock;
        EXPECT_FALSE(lock.Lock(other)) << other;
        EXPECT_FALSE(CFileLock::IsLockedElsewhere(other)) << other;
    }
}

TEST_F(FileLockTest, ThreadsRaceForOneLock) {
    constexpr int kThreads = 4;
    std::atomic<int> holders{0};
    std::atomic<int> wins{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&] {
            for (int round = 0; round < 200; ++round) {
                CFileLock lock;
                if (!lock.Lock(path))
                    continue;
                EXPECT_EQ(holders.fetch_add(1), 0);
                ++wins;
                holders.fetch_sub(1);
            }
        });
    }
    for (std::thread& thread : threads) thread.join();
    EXPECT_GT(wins.load(), 0);
    EXPECT_FALSE(CFileLock::IsLockedElsewhere(path));
}

// A process killed while it writes the file leaves no lock behind: the file is then one to recover.
TEST_F(FileLockTest, AKilledHolderLeavesTheFileFree) {
    int ready[2];
    ASSERT_EQ(pipe(ready), 0);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        CFileLock lock;
        const char held = lock.Lock(path) ? 'y' : 'n';
        (void)!write(ready[1], &held, 1);
        for (;;) pause();
    }
    close(ready[1]);
    char held = 0;
    ASSERT_EQ(read(ready[0], &held, 1), 1);
    close(ready[0]);
    EXPECT_EQ(held, 'y');
    EXPECT_TRUE(CFileLock::IsLockedElsewhere(path));
    CFileLock mine;
    EXPECT_FALSE(mine.Lock(path));

    kill(child, SIGKILL);
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_FALSE(CFileLock::IsLockedElsewhere(path));
    EXPECT_TRUE(mine.Lock(path));
}
