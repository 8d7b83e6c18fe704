#include "files/FileOperation.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

using namespace VEK;

namespace {

// Waits (bounded) for a condition the worker makes true.
template <typename F>
bool Within(std::chrono::milliseconds bound, F condition) {
    const auto end = std::chrono::steady_clock::now() + bound;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > end)
            return false;
        std::this_thread::yield();
    }
    return true;
}

// Reports record after record until it is cancelled or has done them all.
bool Records(const FileProgress& progress, uint64_t total) {
    for (uint64_t done = 1; done <= total; ++done) {
        if (!progress(done, total))
            return false;
    }
    return true;
}

}  // namespace

TEST(FileOperationTest, TellsProgressAndResult) {
    CFileOperation operation([](const FileProgress& progress) { return Records(progress, 1000); });
    ASSERT_TRUE(Within(std::chrono::seconds(10), [&] { return operation.Finished(); }));
    EXPECT_TRUE(operation.Result());
    EXPECT_EQ(operation.Done(), 1000u);
    EXPECT_EQ(operation.Total(), 1000u);
}

TEST(FileOperationTest, CancelStopsTheWorkAtItsNextReport) {
    CFileOperation operation([](const FileProgress& progress) { return Records(progress, UINT64_MAX); });
    ASSERT_TRUE(Within(std::chrono::seconds(10), [&] { return operation.Done() > 0; }));
    EXPECT_FALSE(operation.Result());  // still running
    operation.Cancel();
    ASSERT_TRUE(Within(std::chrono::seconds(10), [&] { return operation.Finished(); }));
    EXPECT_FALSE(operation.Result());
    EXPECT_LT(operation.Done(), UINT64_MAX);
}

TEST(FileOperationTest, DroppingARunningOperationCancelsAndWaitsForIt) {
    std::atomic<bool> ended{false};
    {
        CFileOperation operation([&](const FileProgress& progress) {
            const bool result = Records(progress, UINT64_MAX);
            ended = true;
            return result;
        });
        ASSERT_TRUE(Within(std::chrono::seconds(10), [&] { return operation.Done() > 0; }));
    }
    EXPECT_TRUE(ended);
}
