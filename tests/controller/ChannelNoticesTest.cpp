// What the receive thread has for the window thread, one waiting notice per channel.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "controller/ChannelNotices.h"

namespace {

using namespace std::chrono_literals;

TEST(ChannelNotices, OneWaitingNoticePerChannelWithTheRangesMerged) {
    CChannelNotices notices;
    EXPECT_TRUE(notices.AddReadings(7, 10, 2));
    EXPECT_FALSE(notices.AddReadings(7, 14, 1));  // a late report behind the first: 10..14
    EXPECT_FALSE(notices.AddReadings(7, 8, 1));   // and one before it: 8..14
    EXPECT_FALSE(notices.AddInformation(7));
    EXPECT_TRUE(notices.AddInformation(8));
    EXPECT_FALSE(notices.AddReadings(0, 1, 1));  // outside 1..100
    EXPECT_FALSE(notices.AddInformation(101));

    const CChannelNotices::TNotice seven = notices.Take(7);
    EXPECT_EQ(seven.firstIndex, 8u);
    EXPECT_EQ(seven.count, 7u);
    EXPECT_TRUE(seven.information);
    const CChannelNotices::TNotice eight = notices.Take(8);
    EXPECT_EQ(eight.count, 0u);
    EXPECT_TRUE(eight.information);
    // Taken: the next addition waits afresh.
    EXPECT_EQ(notices.Take(7).count, 0u);
    EXPECT_TRUE(notices.AddReadings(7, 15, 1));
}

TEST(ChannelNotices, WaitingTooLongMeansTheWindowThreadIsBehind) {
    CChannelNotices notices;
    EXPECT_FALSE(notices.WaitingLongerThan(0ms));
    notices.AddInformation(3);
    std::this_thread::sleep_for(5ms);
    EXPECT_TRUE(notices.WaitingLongerThan(1ms));
    EXPECT_FALSE(notices.WaitingLongerThan(10s));
    notices.Take(3);
    EXPECT_FALSE(notices.WaitingLongerThan(0ms));
}

// Two receiving threads against one taking thread: every addition is seen by exactly one take, and
// each waiting notice was announced exactly once.
TEST(ChannelNotices, ConcurrentAddAndTakeLoseNothing) {
    CChannelNotices notices;
    constexpr uint32_t kPerThread = 20000;
    std::atomic<uint32_t> announced{0};
    std::atomic<bool> done{false};
    const auto receive = [&](int channel) {
        for (uint32_t i = 0; i < kPerThread; ++i) announced += notices.AddReadings(channel, i, 1) ? 1 : 0;
    };
    uint32_t taken = 0;
    uint32_t highest[3] = {0, 0, 0};
    std::thread window([&] {
        const auto takeAll = [&] {
            for (int channel = 1; channel <= 2; ++channel) {
                const CChannelNotices::TNotice notice = notices.Take(channel);
                if (notice.count == 0)
                    continue;
                ++taken;
                highest[channel] = std::max(highest[channel], notice.firstIndex + notice.count);
            }
        };
        while (!done) takeAll();
        takeAll();
    });
    std::thread first(receive, 1);
    std::thread second(receive, 2);
    first.join();
    second.join();
    done = true;
    window.join();
    EXPECT_EQ(taken, announced.load());
    EXPECT_EQ(highest[1], kPerThread);
    EXPECT_EQ(highest[2], kPerThread);
}

}  // namespace
