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

// The owner of a thread whose body uses the owner's members, as the tick thread and the log writer
// do. A bounded Stop that runs out must not leave the body running on past the owner's end.
struct TBusyOwner {
    std::atomic<bool> release{false};
    std::atomic<int> uses{0};
    CThread thread;  // last: destroyed, and so joined, before the members its body uses
};

TEST(Thread, OwnerOutlivesABodyThatMissedTheStopBound) {
    auto finished = std::make_shared<std::atomic<bool>>(false);
    auto owner = std::make_unique<TBusyOwner>();
    TBusyOwner* self = owner.get();
    ASSERT_TRUE(owner->thread.Start([self, finished](const std::atomic<bool>&) {
        while (!self->release) {
            ++self->uses;
            std::this_thread::sleep_for(1ms);
        }
        std::this_thread::sleep_for(20ms);
        ++self->uses;  // still the owner's member after the release
        *finished = true;
    }));
    EXPECT_FALSE(owner->thread.Stop(20ms));
    EXPECT_TRUE(owner->thread.IsRunning());
    EXPECT_FALSE(owner->thread.Start([](const std::atomic<bool>&) {}));  // still owned, still running
    std::thread releaser([self] {
        std::this_thread::sleep_for(50ms);
        self->release = true;
    });
    owner.reset();
    EXPECT_TRUE(finished->load());
    releaser.join();
}
