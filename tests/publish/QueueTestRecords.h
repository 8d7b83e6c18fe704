#pragma once
// The records and spill folders of the record queue's tests.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <string>

#include "publish/MqttPayload.h"
#include "publish/RecordQueue.h"
#include "support/TestHome.h"

namespace queue_test {

using testing_support::FileExists;
using testing_support::ReadFile;
using testing_support::TestHome;
using testing_support::WriteFile;

inline const std::string kTopic = "hollowmere/5/record";

inline TPublishRecord Record(uint32_t number) {
    TPublishRecord record;
    record.number = number;
    record.timeMs = 1709296496000 + int64_t{number} * 100;
    record.rateMs = 100;
    record.fahrenheit = number % 2 == 0;
    for (int k = 1; k <= 20; ++k) record.SetReading(k, static_cast<int16_t>(number * 10 + k));
    record.SetReading(7, kReadingLost);
    record.SetReading(99, kReadingOutOfRange);
    return record;
}

inline std::string Payload(uint32_t number) {
    const TPublishRecord record = Record(number);
    return RecordPayload(record, LocalUtcOffsetSeconds(record.timeMs));
}

// A fresh spill path per test, in a folder only the user may write.
inline std::string SpillPath() {
    std::string folder = TestHome() + "/" + ::testing::UnitTest::GetInstance()->current_test_info()->name();
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    chmod(folder.c_str(), 0700);
    return folder + "/queue.spill";
}

inline uint64_t Dropped(CRecordQueue& queue) {
    uint64_t dropped = 0;
    for (const auto& [reason, count] : queue.TakeDrops()) dropped += count;
    return dropped;
}

inline void PushRange(CRecordQueue& queue, uint32_t from, uint32_t to) {
    for (uint32_t n = from; n <= to; ++n) {
        std::string error;
        queue.Push(Record(n), error);
        ASSERT_EQ(error, "") << n;
    }
}

}  // namespace queue_test
