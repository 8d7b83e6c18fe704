#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "support/Thread.h"

using namespace VEK;
using namespace std::chrono_literals;

TEST(Thread, StopRequestEndsCooperativeBody) {
    CThread thread;
    std::atomic<int> loops{0};
    ASSERT_TRUE(thread.Start([&](const std::atomic<bool>& stop) {
        while (!stop) {
            ++loops;
            std::this_thread::sleep_for(1ms);
        }
    }));
    EXPECT_FALSE(thread.Start([](const std::atomic<bool>&) {}));
    EXPECT_TRUE(thread.IsRunning());
    std::this_thread::sleep_for(10ms);
    EXPECT_TRUE(thread.Stop(2000ms));
    EXPECT_FALSE(thread.IsRunning());
    EXPECT_GT(loops.load(), 0);
}

TEST(Thread, StopIsBoundedForABodyThatIgnoresTheRequest) {
    auto release = std::make_shared<std::atomic<bool>>(false);
    CThread thread;
    thread.Start([release](const std::atomic<bool>&) {
        while (!*release) std::this_thread::sleep_for(1ms);
    });
    auto begin = std::chrono::steady_clock::now();
    EXPECT_FALSE(thread.Stop(50ms));
    EXPECT_LT(std::chrono::steady_clock::now() - begin, 2s);
    *release = true;
}

TEST(Thread, RestartsAfterStopAndLowersPriority) {
    CThread thread;
    for (int i = 0; i < 2; ++i) {
        ASSERT_TRUE(thread.Start([](const std::atomic<bool>& stop) {
            while (!stop) std::this_thread::sleep_for(1ms);
        }));
        EXPECT_TRUE(thread.SetPriority(CThread::EPriority::Lowest));
        EXPECT_TRUE(thread.Stop(2000ms));
    }
}
