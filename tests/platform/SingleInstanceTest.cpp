#include <gtest/gtest.h>

#include <chrono>
#include <future>

#include "platform/SingleInstance.h"

using namespace VEK;

TEST(SingleInstance, SecondOwnerIsTurnedAwayAndRaisesTheFirst) {
    CSingleInstance first("Test.Key");
    ASSERT_TRUE(first.Acquire("hollowmere"));
    std::promise<void> raised;
    ASSERT_TRUE(first.Listen([&] { raised.set_value(); }));

    {
        // flock is per open file description, so a second object in one process stands in for
        // a second process.
        CSingleInstance second("Test.Key");
        EXPECT_FALSE(second.Acquire("hollowmere-record"));
        EXPECT_EQ(second.OwnerName(), "hollowmere");
        EXPECT_TRUE(second.NotifyOwner(1000));
    }
    EXPECT_EQ(raised.get_future().wait_for(std::chrono::seconds(5)), std::future_status::ready);
}

TEST(SingleInstance, KeyIsFreeAgainAfterTheOwnerEnds) {
    {
        CSingleInstance owner("Test.Release");
        ASSERT_TRUE(owner.Acquire("a"));
        ASSERT_TRUE(owner.Listen([] {}));
    }
    CSingleInstance next("Test.Release");
    EXPECT_TRUE(next.Acquire("b"));
    EXPECT_FALSE(next.NotifyOwner(200));  // nobody listens now
}
