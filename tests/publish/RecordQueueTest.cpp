#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <functional>

#include "QueueTestRecords.h"
#include "support/OtherUser.h"

using testing_support::FileExists;
using testing_support::ReadFile;
using testing_support::TestHome;
using testing_support::WriteFile;

using namespace queue_test;

namespace {

const std::string kHeader = "Hollowmere-MQTT-Spill,1.00,0000000000042\r\n";

void PushRangeAllowingErrors(CRecordQueue& queue, uint32_t from, uint32_t to) {
    for (uint32_t n = from; n <= to; ++n) {
        std::string error;
        queue.Push(Record(n), error);
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
    CRecordQueue next(path, kTopic);
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
    EXPECT_EQ(Dropped(next), 0u);
}

// Whatever else the spill file holds goes nowhere: the broker would take it under the user's
// identity, to any topic. Only this publisher's records, exactly as it writes them, are sent.
TEST(RecordQueue, OnlyThisPublishersRecordsAreTakenFromTheSpillFile) {
    const std::string path = SpillPath();
    const std::string other = Payload(2);
    const std::vector<std::string> foreign = {
        "plant/line3/valve7/cmd\tOPEN",
        kTopic + "\tOPEN",
        "hollowmere/6/record\t" + other,  // another system's topic
        "hollowmere/5/+\t" + other,       // a topic the library refuses
        "\t" + other,
        kTopic + "\t" + other + " ",
        kTopic + "\t" + std::string(other).replace(other.find("\"record\":2"), 10, "\"record\":02"),
        kTopic + other,
        std::string(CSpillFile::kLongestLine, 'x'),
    };
    std::string text = kHeader + kTopic + "\t" + Payload(1) + "\r\n";
    for (const std::string& line : foreign) text += line + "\r\n";
    text += kTopic + "\t" + Payload(3) + "\r\n";
    WriteFile(path, text);
    chmod(path.c_str(), 0600);

    CRecordQueue queue(path, kTopic);
    std::string error;
    ASSERT_TRUE(queue.Open(error)) << error;
    ASSERT_TRUE(queue.Has(0));
    EXPECT_EQ(queue.Peek(0).payload, Payload(1));
    ASSERT_TRUE(queue.Has(1));
    EXPECT_EQ(queue.Peek(1).payload, Payload(3));
    EXPECT_FALSE(queue.Has(2));
    EXPECT_EQ(queue.Count(), 2u);
    const CRecordQueue::TDrops drops = queue.TakeDrops();
    ASSERT_EQ(drops.size(), 1u);
    EXPECT_EQ(drops[0].second, foreign.size());
    EXPECT_NE(drops[0].first.find("not records of hollowmere/5/record"), std::string::npos) << drops[0].first;
    EXPECT_FALSE(queue.TakeFrontMoved());  // the records handed out keep their positions
    queue.PopFront();
    queue.PopFront();
    EXPECT_EQ(queue.Count(), 0u);
    EXPECT_FALSE(FileExists(path));
}

// Each byte of a line is read once and only so much of it is kept: a line of 256 MB (a hole in a
// sparse file) is passed over as quickly as reading it, and the records after it still go.
TEST(RecordQueue, SpillLineOf256MegabytesIsPassedOverInOneRead) {
    const std::string path = SpillPath();
    const std::string head = kHeader + kTopic + "\t";
    WriteFile(path, head);
    chmod(path.c_str(), 0600);
    const off_t hole = off_t{256} << 20;
    const std::string tail = "\r\n" + kTopic + "\t" + Payload(2) + "\r\n";
    {
        const int fd = open(path.c_str(), O_WRONLY | O_CLOEXEC);
        ASSERT_GE(fd, 0);
        ASSERT_EQ(pwrite(fd, tail.data(), tail.size(), static_cast<off_t>(head.size()) + hole),
                  static_cast<ssize_t>(tail.size()));
        close(fd);
    }
    CRecordQueue queue(path, kTopic);
    std::string error;
    ASSERT_TRUE(queue.Open(error)) << error;
    EXPECT_EQ(queue.Count(), 2u);
    ASSERT_TRUE(queue.Has(0));
    EXPECT_EQ(queue.Peek(0).payload, Payload(2));
    EXPECT_EQ(Dropped(queue), 1u);
    queue.PopFront();
    EXPECT_FALSE(FileExists(path));
}

// Beyond its size limit the spill file gives up its oldest records, counted, and keeps the newest;
// the next publisher takes over from there.
TEST(RecordQueue, SpillFileAtItsLimitDropsTheOldestRecords) {
    const std::string path = SpillPath();
    constexpr uint64_t kLimit = 64 * 1024;
    const uint64_t line = CSpillFile::FormatLine(kTopic, Payload(1000)).size();
    uint64_t kept = 0;
    {
        CRecordQueue queue(path, kTopic);
        queue.SetLimits(kLimit, CRecordQueue::kMemoryLimitBytes);
        std::string error;
        ASSERT_TRUE(queue.Open(error));
        queue.SetMemoryBound(10);
        PushRange(queue, 1000, 2999);
        kept = queue.Count();
        EXPECT_LE(kept * line, kLimit * 11 / 10);
        EXPECT_GE(kept * line, kLimit / 2);
        EXPECT_EQ(Dropped(queue) + kept, 2000u);
        EXPECT_TRUE(queue.TakeFrontMoved());
        EXPECT_EQ(queue.Peek(static_cast<size_t>(kept) - 1).payload, Payload(2999));
        ASSERT_TRUE(queue.Persist(error)) << error;
    }
    CRecordQueue next(path, kTopic);
    std::string error;
    ASSERT_TRUE(next.Open(error)) << error;
    ExpectDelivers(next, static_cast<uint32_t>(3000 - kept), 2999);
}

// A spill file that cannot be written (a full disk) is tried again a while later, not with every
// record, which would write all records in memory out again each time; and memory has its cap.
TEST(RecordQueue, FailedSpillIsNotRetriedWithEveryRecordAndMemoryIsCapped) {
    CRecordQueue queue(TestHome() + "/no/such/folder/queue.spill", kTopic);
    constexpr uint64_t kMemory = 1 << 20;
    queue.SetLimits(CRecordQueue::kSpillLimitBytes, kMemory);
    std::string error;
    ASSERT_TRUE(queue.Open(error));
    queue.SetMemoryBound(1);
    for (uint32_t n = 1; n <= 40'000; ++n) {
        queue.Push(Record(n), error);
        if (n > 1) {  // the first stays in memory
            ASSERT_NE(error.find("cannot create the spill file"), std::string::npos) << n << error;
        }
    }
    const uint64_t kept = queue.Count();
    EXPECT_LT(kept, 40'000u);
    EXPECT_GT(kept, 5'000u);
    const CRecordQueue::TDrops drops = queue.TakeDrops();
    ASSERT_EQ(drops.size(), 1u);
    EXPECT_EQ(drops[0].second + kept, 40'000u);
    EXPECT_NE(drops[0].first.find("waiting in memory"), std::string::npos) << drops[0].first;
    EXPECT_EQ(queue.Peek(static_cast<size_t>(kept) - 1).payload, Payload(40'000));
}

// Spill files someone else could have written or put there: never read, never written, never
// replaced; the records stay in memory and the reason is given.
struct THostileSpill {
    const char* name;
    bool asRoot;  // needs root to play the other user
    // Makes the file (or the folder) at path; returns what must stay as it is.
    std::function<std::string(const std::string& path)> make;
    const char* reason;
};

void PrintTo(const THostileSpill& c, std::ostream* out) {
    *out << c.name;
}

class HostileSpillTest : public ::testing::TestWithParam<THostileSpill> {};

// What a path is: link target, or type and content.
std::string Describe(const std::string& path) {
    namespace fs = std::filesystem;
    const fs::file_status status = fs::symlink_status(path);
    if (fs::is_symlink(status))
        return "link " + fs::read_symlink(path).string();
    if (fs::is_fifo(status))
        return "fifo";
    if (!fs::exists(status))
        return "none";
    if (fs::is_directory(status))
        return "folder " + std::to_string(static_cast<unsigned>(status.permissions()));
    struct stat st {};
    lstat(path.c_str(), &st);
    return "file " + std::to_string(st.st_uid) + " " + std::to_string(st.st_mode & 07777) + " " +
           ReadFile(path);
}

TEST_P(HostileSpillTest, IsNeitherReadNorWritten) {
    const THostileSpill& c = GetParam();
    if (c.asRoot && geteuid() != 0)
        GTEST_SKIP() << "needs root to act as another user";
    const std::string path = SpillPath();
    const std::string watched = c.make(path);
    const std::string before = Describe(watched);
    const std::string pathBefore = Describe(path);

    CRecordQueue queue(path, kTopic);
    std::string error;
    // Without a file in it, the folder is refused when the file would be made.
    if (!queue.Open(error)) {
        EXPECT_NE(error.find(c.reason), std::string::npos) << error;
    }
    EXPECT_EQ(queue.Count(), 0u);
    queue.SetMemoryBound(1);
    PushRangeAllowingErrors(queue, 1, 3);
    EXPECT_FALSE(queue.Persist(error));
    EXPECT_NE(error.find(c.reason), std::string::npos) << error;
    EXPECT_EQ(Describe(watched), before);
    EXPECT_EQ(Describe(path), pathBefore);
    ExpectDelivers(queue, 1, 3);
}

const std::string kForeignSpill = kHeader + "plant/line3/valve7/cmd\tOPEN\r\n";

INSTANTIATE_TEST_SUITE_P(Files, HostileSpillTest,
                         ::testing::Values(THostileSpill{"LinkToAFileOfTheUser", false,
                                                         [](const std::string& path) {
                                                             const std::string victim = path + ".victim";
                                                             WriteFile(victim, "precious");
                                                             std::filesystem::create_symlink(victim, path);
                                                             return victim;
                                                         },
                                                         "cannot open the spill file"},
                                           THostileSpill{"WritableByOthers", false,
                                                         [](const std::string& path) {
                                                             WriteFile(path, kForeignSpill);
                                                             chmod(path.c_str(), 0666);
                                                             return path;
                                                         },
                                                         "can be written by other users"},
                                           THostileSpill{"Fifo", false,
                                                         [](const std::string& path) {
                                                             mkfifo(path.c_str(), 0600);
                                                             return path;
                                                         },
                                                         "is not a regular file"},
                                           THostileSpill{"InAFolderOthersMayWrite", false,
                                                         [](const std::string& path) {
                                                             const std::string folder =
                                                                 path.substr(0, path.rfind('/'));
                                                             chmod(folder.c_str(), 01777);
                                                             return folder;
                                                         },
                                                         "can be written by other users"},
                                           THostileSpill{"OfAnotherUser", true,
                                                         [](const std::string& path) {
                                                             WriteFile(path, kForeignSpill);
                                                             chmod(path.c_str(), 0600);
                                                             const uid_t other =
                                                                 testing_support::UnusedUid(2001);
                                                             EXPECT_EQ(chown(path.c_str(), other, other), 0);
                                                             return path;
                                                         },
                                                         "belongs to another user"}),
                         [](const ::testing::TestParamInfo<THostileSpill>& info) {
                             return std::string(info.param.name);
                         });

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
