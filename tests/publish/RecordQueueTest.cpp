#include <gtest/gtest.h>

#include <filesystem>

#include "publish/MqttPayload.h"
#include "publish/RecordQueue.h"
#include "support/TestHome.h"

using testing_support::FileExists;
using testing_support::ReadFile;
using testing_support::TestHome;
using testing_support::WriteFile;

namespace {

const std::string kTopic = "hollowmere/5/record";

TPublishRecord Record(uint32_t number) {
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

std::string Payload(uint32_t number) {
    const TPublishRecord record = Record(number);
    return RecordPayload(record, LocalUtcOffsetSeconds(record.timeMs));
}

// A fresh spill path per test.
std::string SpillPath() {
    const std::string folder =
        TestHome() + "/" + ::testing::UnitTest::GetInstance()->current_test_info()->name();
    std::filesystem::create_directories(folder);
    return folder + "/queue.spill";
}

void PushRange(CRecordQueue& queue, uint32_t from, uint32_t to) {
    for (uint32_t n = from; n <= to; ++n) {
        std::string error;
        queue.Push(Record(n), error);
        ASSERT_EQ(error, "") << n;
    }
}

// Takes every record from the front and checks it is the next number.
void ExpectDelivers(CRecordQueue& queue, uint32_t from, uint32_t to) {
    ASSERT_EQ(queue.Count(), to - from + 1);
    for (uint32_t n = from; n <= to; ++n) {
        const CRecordQueue::TMessage message = queue.Peek(0);
        ASSERT_EQ(message.topic, kTopic);
        ASSERT_EQ(message.payload, Payload(n));
        queue.PopFront();
    }
    EXPECT_EQ(queue.Count(), 0u);
}

}  // namespace

TEST(RecordQueue, WithinTheBoundRecordsStayInMemoryInOrder) {
    const std::string path = SpillPath();
    CRecordQueue queue(path, kTopic);
    std::string error;
    ASSERT_TRUE(queue.Open(error)) << error;
    queue.SetMemoryBound(10);
    PushRange(queue, 1, 10);
    EXPECT_EQ(queue.SpilledCount(), 0u);
    EXPECT_FALSE(FileExists(path));
    // The window looks ahead without taking.
    EXPECT_EQ(queue.Peek(3).payload, Payload(4));
    EXPECT_EQ(queue.Peek(9).payload, Payload(10));
    ExpectDelivers(queue, 1, 10);
}

TEST(RecordQueue, BeyondTheBoundTheSpillFileTakesOverUntilDelivered) {
    const std::string path = SpillPath();
    CRecordQueue queue(path, kTopic);
    std::string error;
    ASSERT_TRUE(queue.Open(error));
    queue.SetMemoryBound(3);
    PushRange(queue, 1, 600);  // more than one read-ahead batch
    EXPECT_EQ(queue.Count(), 600u);
    EXPECT_EQ(queue.SpilledCount(), 600u);
    ASSERT_TRUE(FileExists(path));
    const std::string text = ReadFile(path);
    EXPECT_EQ(text.substr(0, 42), "Hollowmere-MQTT-Spill,1.00,0000000000042\r\n");
    EXPECT_EQ(text.substr(42, kTopic.size() + 1 + Payload(1).size() + 2),
              kTopic + "\t" + Payload(1) + "\r\n");

    ExpectDelivers(queue, 1, 600);
    EXPECT_FALSE(FileExists(path));
    PushRange(queue, 601, 602);
    EXPECT_EQ(queue.SpilledCount(), 0u);
    EXPECT_FALSE(FileExists(path));
    ExpectDelivers(queue, 601, 602);
}

TEST(RecordQueue, PersistedRecordsAreTakenOverByTheNextQueue) {
    const std::string path = SpillPath();
    {
        CRecordQueue queue(path, kTopic);
        std::string error;
        ASSERT_TRUE(queue.Open(error));
        queue.SetMemoryBound(1000);
        PushRange(queue, 1, 5);
        queue.PopFront();
        queue.PopFront();
        ASSERT_TRUE(queue.Persist(error)) << error;
        EXPECT_EQ(queue.SpilledCount(), 3u);
    }
    // Another system's queue would publish under its own topic; a spill keeps each record's topic.
    CRecordQueue next(path, "other/9/record");
    std::string error;
    ASSERT_TRUE(next.Open(error)) << error;
    next.SetMemoryBound(1000);
    EXPECT_EQ(next.Count(), 3u);
    std::string pushError;
    next.Push(Record(6), pushError);  // after the spilled ones
    EXPECT_EQ(next.Peek(0).payload, Payload(3));
    EXPECT_EQ(next.Peek(0).topic, kTopic);
    for (int i = 0; i < 3; ++i) next.PopFront();
    EXPECT_EQ(next.Peek(0).payload, Payload(6));
    EXPECT_EQ(next.Peek(0).topic, "other/9/record");
}

TEST(RecordQueue, DeliveryProgressSurvivesInTheHeader) {
    const std::string path = SpillPath();
    {
        CRecordQueue queue(path, kTopic);
        std::string error;
        ASSERT_TRUE(queue.Open(error));
        queue.SetMemoryBound(2);
        PushRange(queue, 1, 10);
        for (int i = 0; i < 4; ++i) queue.PopFront();
        ASSERT_TRUE(queue.Persist(error)) << error;
    }
    CRecordQueue next(path, kTopic);
    std::string error;
    ASSERT_TRUE(next.Open(error));
    ExpectDelivers(next, 5, 10);
    EXPECT_FALSE(FileExists(path));
}

TEST(RecordQueue, DamagedSpillLinesAreDropped) {
    const std::string path = SpillPath();
    const std::string header = "Hollowmere-MQTT-Spill,1.00,0000000000042\r\n";
    // A line without a topic, then a line a crash cut short.
    WriteFile(path, header + kTopic + "\t" + Payload(1) + "\r\ngarbage\r\n" + kTopic + "\t" + Payload(2) +
                        "\r\n" + kTopic + "\t{\"rec");
    CRecordQueue queue(path, kTopic);
    std::string error;
    ASSERT_TRUE(queue.Open(error)) << error;
    EXPECT_EQ(queue.Peek(0).payload, Payload(1));
    queue.PopFront();
    EXPECT_EQ(queue.Peek(0).payload, Payload(2));
    queue.PopFront();
    EXPECT_EQ(queue.Count(), 0u);
    EXPECT_FALSE(FileExists(path));
}

TEST(RecordQueue, SpillFileOfAnotherProcessOrForeignIsNotUsed) {
    const std::string path = SpillPath();
    CRecordQueue owner(path, kTopic);
    std::string error;
    ASSERT_TRUE(owner.Open(error));
    owner.SetMemoryBound(1);
    PushRange(owner, 1, 3);
    ASSERT_TRUE(FileExists(path));

    CRecordQueue second(path, kTopic);
    EXPECT_FALSE(second.Open(error));
    EXPECT_NE(error.find("in use by another process"), std::string::npos) << error;

    const std::string foreign = path + ".txt";
    WriteFile(foreign, "No,1\r\n");
    CRecordQueue third(foreign, kTopic);
    EXPECT_FALSE(third.Open(error));
    EXPECT_NE(error.find("is not a spill file"), std::string::npos) << error;
    EXPECT_EQ(ReadFile(foreign), "No,1\r\n");
}

TEST(RecordQueue, WithoutAWritableSpillFileRecordsStayInMemory) {
    CRecordQueue queue(TestHome() + "/no/such/folder/queue.spill", kTopic);
    std::string error;
    ASSERT_TRUE(queue.Open(error));
    queue.SetMemoryBound(2);
    for (uint32_t n = 1; n <= 5; ++n) {
        queue.Push(Record(n), error);
        EXPECT_EQ(error.empty(), n <= 2) << n << error;
    }
    EXPECT_NE(error.find("cannot create the spill file"), std::string::npos) << error;
    EXPECT_FALSE(queue.Persist(error));
    ExpectDelivers(queue, 1, 5);
}
