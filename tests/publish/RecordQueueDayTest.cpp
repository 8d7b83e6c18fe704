// A day of records at 100 ms spilled at once: seconds, where a pass over the records in memory
// for each record took minutes. A test binary of its own, outside the sanitizer stages, where it
// would take a minute.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include "QueueTestRecords.h"

using namespace queue_test;

// A day of records at 100 ms waits in memory while the broker is away; at the exit they go to
// the spill file in one pass, in order.
TEST(RecordQueue, ADayOfRecordsInMemoryIsSpilledInOnePass) {
    const std::string path = SpillPath();
    constexpr uint32_t kDay = 864'000;
    {
        CRecordQueue queue(path, kTopic);
        std::string error;
        ASSERT_TRUE(queue.Open(error));
        queue.SetMemoryBound(kDay);
        PushRange(queue, 1, kDay);
        EXPECT_EQ(queue.SpilledCount(), 0u);
        ASSERT_TRUE(queue.Persist(error)) << error;
        EXPECT_EQ(queue.SpilledCount(), kDay);
    }
    CRecordQueue next(path, kTopic);
    std::string error;
    ASSERT_TRUE(next.Open(error)) << error;
    EXPECT_EQ(next.Count(), kDay);
    EXPECT_EQ(next.Peek(0).payload, Payload(1));
    EXPECT_EQ(next.Peek(300).payload, Payload(301));
    EXPECT_EQ(Dropped(next), 0u);
    const std::string last = CSpillFile::FormatLine(kTopic, Payload(kDay));
    std::string tail(last.size(), '\0');
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    ASSERT_GE(fd, 0);
    const off_t size = lseek(fd, 0, SEEK_END);
    EXPECT_EQ(pread(fd, tail.data(), tail.size(), size - static_cast<off_t>(tail.size())),
              static_cast<ssize_t>(tail.size()));
    close(fd);
    EXPECT_EQ(tail, last);
}
