#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/time.h>
#include <unistd.h>

#include <cstdio>
#include <functional>

#include "files/DataFile.h"
#include "files/Settings.h"
#include "files/UnsavedRun.h"
#include "files/WorkingFile.h"
#include "platform/FileLock.h"
#include "platform/Folders.h"
#include "support/TestHome.h"

using namespace VEK;
using testing_support::FileExists;
using testing_support::ReadFile;
using testing_support::WriteFile;

namespace {

// A working file's header at 1 s: channels 1 and 3 in use, 2 between them not.
const std::string kHeader =
    "Brisquent-Working,1.01\r\nSYSTEM NUMBER,5\r\nSAMPLING RATE,1sec\r\nTEMPERATURE UNIT,deg C\r\n"
    "TIME/DIV,5sec\r\nTEMP/DIV,5deg C\r\nDATA COUNT,0\r\nTIME OFFSET,00:00:00,00\r\nTEMP OFFSET,25\r\n"
    ",,TYPE,K,K,K\r\n,,ON/OFF,ON,OFF,ON\r\n,,ADJUST OFFSET,,,\r\nNo.,DATE  TIME,msec,CH1,CH2,CH3\r\n"
    "USER COMMENT,,,,,\r\n";
std::string Row(int number, const std::string& readings) {
    return std::to_string(number) + ",2026/03/04 05:06:" + (number < 11 ? "0" : "") +
           std::to_string(number - 1) + ",0," + readings + "\r\n";
}
const std::string kRows = Row(1, "1.0,,3.0") + Row(2, "1.5,,Lost") + Row(3, "2.0,,Out Of Range");

// Sets the file's last change to some minutes ago, as a run killed then has left it.
void AgeFile(const std::string& path, int minutes = 10) {
    timeval now{};
    gettimeofday(&now, nullptr);
    const timeval times[2] = {{now.tv_sec - minutes * 60, 0}, {now.tv_sec - minutes * 60, 0}};
    ASSERT_EQ(utimes(path.c_str(), times), 0);
}

class UnsavedRunTest : public ::testing::Test {
public:  // the case table's checks read the loaded store
    CMeasurementDataManager store;
    TDataFileView view;

    void SetUp() override {
        testing_support::ResetTestHome();
        ASSERT_TRUE(CreateFolderWithParents(WorkFolder()));
    }
    static std::string WorkPath(const std::string& name) { return WorkFolder() + "/" + name; }
    // A left-over working file, last changed ten minutes ago.
    static std::string LeaveRun(const std::string& name, const std::string& bytes) {
        const std::string path = WorkPath(name);
        WriteFile(path, bytes);
        AgeFile(path);
        return path;
    }
    int16_t At(int channel, uint32_t record) const {
        return CMeasurementDataManager::GetReading(store.Channel(channel), record);
    }
};

}  // namespace

// What a working file gives, whole or cut off by a power cut: the rows actually present, each with
// its readings; nothing padded.
TEST_F(UnsavedRunTest, ReadsWorkingFilesByTheRowsPresent) {
    const struct {
        const char* name;
        std::string bytes;
        uint32_t records;
        uint32_t damagedRows;
        std::function<void(const UnsavedRunTest&)> check;
    } cases[] = {
        {"complete", kHeader + kRows, 3, 0,
         [](const UnsavedRunTest& t) {
             EXPECT_EQ(t.At(1, 0), 10);
             EXPECT_EQ(t.At(3, 0), 30);
             EXPECT_EQ(t.At(1, 2), 20);
             EXPECT_EQ(t.At(3, 1), kReadingLost);
             EXPECT_EQ(t.At(3, 2), kReadingOutOfRange);
             EXPECT_EQ(t.store.StartTime(), (CSystemTime{2026, 3, 0, 4, 5, 6, 0, 0}));
             EXPECT_EQ(t.store.ChannelsInUse(), (std::vector<int32_t>{1, 3}));
         }},
        {"last row cut in the middle of a field", kHeader + kRows + "4,2026/03/04 05:06:03,0,2.5,,3", 3, 1,
         [](const UnsavedRunTest& t) {
             EXPECT_EQ(t.At(1, 3), kReadingLost);
             EXPECT_EQ(t.At(3, 3), kReadingLost);
         }},
        {"last row cut after its last field", kHeader + kRows + "4,2026/03/04 05:06:03,0,2.5,,3.5", 3, 1,
         nullptr},
        {"header only", kHeader, 0, 0,
         [](const UnsavedRunTest& t) { EXPECT_EQ(t.store.SamplingRateCode(), 4u); }},
        {"header cut short", kHeader.substr(0, 60), 0, 0, nullptr},
        {"a row of the wrong length in the middle",
         kHeader + Row(1, "1.0,,3.0") + Row(2, "1.5,3.5") + Row(3, "2.0,,4.0"), 3, 1,
         [](const UnsavedRunTest& t) {
             // Its record stays, without readings, so that the later rows keep their times.
             EXPECT_EQ(t.At(1, 1), kReadingLost);
             EXPECT_EQ(t.At(3, 1), kReadingLost);
             EXPECT_EQ(t.At(1, 2), 20);
             EXPECT_EQ(t.At(3, 2), 40);
         }},
        {"first row damaged, its time still read", kHeader + Row(1, "1.0") + Row(2, "1.5,,Lost"), 2, 1,
         [](const UnsavedRunTest& t) {
             EXPECT_EQ(t.store.StartTime(), (CSystemTime{2026, 3, 0, 4, 5, 6, 0, 0}));
             EXPECT_EQ(t.At(1, 0), kReadingLost);
             EXPECT_EQ(t.At(1, 1), 15);
         }},
    };
    const std::string path = WorkPath("20260304050600.csv");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        WriteFile(path, c.bytes);
        view = {};
        ASSERT_TRUE(LoadDataFile(path, store, view, TMeasurementSetup{}));
        EXPECT_TRUE(view.workingFile);
        EXPECT_EQ(store.RecordCount(), c.records);
        EXPECT_EQ(view.damagedRows, c.damagedRows);
        EXPECT_EQ(store.State(), CMeasurementDataManager::kStateHolding);
        // Saved nowhere: the discard check asks before the data go.
        EXPECT_TRUE(store.IsModified());
        EXPECT_EQ(store.SavedPath(), "");
        if (c.check)
            c.check(*this);
    }
}

TEST_F(UnsavedRunTest, DescribesAndListsLeftOverRunsNewestFirst) {
    LeaveRun("20260304050600.csv", kHeader + kRows + "4,2026/03/04 05:06:03,0,2.5");
    LeaveRun("20260305000000.csv", kHeader + Row(1, "1.0,,3.0"));
    LeaveRun("20260101000000.csv", "not a working file\r\n");
    LeaveRun("notes.csv", kHeader + kRows);                    // not a working file's name
    LeaveRun("20260306000000.csv.tmp", kHeader + kRows);       // nor this
    const std::string fresh = WorkPath("20260307000000.csv");  // changed a moment ago: may still grow
    WriteFile(fresh, kHeader + kRows);

    const std::vector<TUnsavedRun> runs = FindUnsavedRuns(WorkFolder());
    ASSERT_EQ(runs.size(), 3u);
    EXPECT_EQ(runs[0].path, WorkPath("20260305000000.csv"));
    EXPECT_EQ(runs[0].records, 1u);
    EXPECT_EQ(runs[1].path, WorkPath("20260304050600.csv"));
    EXPECT_EQ(runs[1].records, 3u);  // the cut row is not counted
    EXPECT_EQ(runs[1].channels, 2u);
    EXPECT_EQ(runs[1].periodMs, 1000u);
    EXPECT_EQ(runs[1].startTime, (CSystemTime{2026, 3, 0, 4, 5, 6, 0, 0}));
    EXPECT_TRUE(runs[1].readable);
    EXPECT_FALSE(runs[2].readable);  // offered, so that the operator sees it and may delete it

    // A header as the loader reads it: more fields after the version, or no line end yet.
    const std::string extra = kHeader.substr(0, 22) + ",later" + kHeader.substr(22) + kRows;
    const auto described = DescribeUnsavedRun(LeaveRun("20260102000000.csv", extra));
    ASSERT_TRUE(described.has_value());
    EXPECT_TRUE(described->readable);
    EXPECT_EQ(described->records, 3u);
    const auto unended = DescribeUnsavedRun(LeaveRun("20260103000000.csv", "Brisquent-Working,1.01"));
    ASSERT_TRUE(unended.has_value());
    EXPECT_TRUE(unended->readable);
    EXPECT_EQ(unended->records, 0u);
    std::remove(described->path.c_str());
    std::remove(unended->path.c_str());

    // Never the caller's own file.
    EXPECT_EQ(FindUnsavedRuns(WorkFolder(), runs[0].path).size(), 2u);
    // A missing folder has none.
    EXPECT_TRUE(FindUnsavedRuns(WorkFolder() + "/none").empty());
}

// A working file that a process holds (a run in progress, or one taken over) is never offered,
// deleted or recovered, however long ago it changed.
TEST_F(UnsavedRunTest, AHeldFileIsLeftAlone) {
    CMeasurementDataManager running;
    TMeasurementSetup setup;
    setup.pollingSetting.SetRateCode(4);
    setup.pollingSetting.SetInUse(1, true);
    running.Start(setup);
    running.SetStartTime({2026, 3, 0, 4, 5, 6, 0, 0});
    CWorkingFile working;
    ASSERT_TRUE(working.Start(running, {}));
    AgeFile(working.Path());
    EXPECT_TRUE(FindUnsavedRuns(WorkFolder()).empty());
    EXPECT_FALSE(DeleteUnsavedRun(working.Path()));
    std::string problem;
    EXPECT_EQ(RecoverUnsavedRun(working.Path(), WorkPath("../out.csv"), store, problem), ERecovery::kHeld);
    EXPECT_TRUE(FileExists(working.Path()));
    // The holder is named where the system tells it.
    EXPECT_NE(
        problem.find(" is written by a running measurement (process " + std::to_string(getpid()) + " ("),
        std::string::npos)
        << problem;

    // Let go without deletion (an exit with the data saved nowhere): now it waits to be recovered.
    const std::string path = working.Path();
    working.Release();
    ASSERT_EQ(FindUnsavedRuns(WorkFolder()).size(), 1u);

    // Taken over by another owner: held again.
    CWorkingFile other;
    ASSERT_TRUE(other.Adopt(path));
    EXPECT_FALSE(working.Adopt(path));
    EXPECT_TRUE(FindUnsavedRuns(WorkFolder()).empty());
    other.Delete();
    EXPECT_FALSE(FileExists(path));
}

TEST_F(UnsavedRunTest, RecoveryWritesTheDataFileBeforeTheWorkingFileGoes) {
    const std::string path = LeaveRun("20260304050600.csv", kHeader + kRows + "4,2026/03/04 05:06:03,0,2.");
    const std::string out = testing_support::TestHome() + "/out.csv";
    std::string problem;
    ASSERT_EQ(RecoverUnsavedRun(path, out, store, problem), ERecovery::kRecovered) << problem;
    EXPECT_FALSE(FileExists(path));
    const std::string saved = ReadFile(out);
    EXPECT_EQ(saved.substr(0, 16), "Brisquent,1.01\r\n");
    EXPECT_NE(saved.find("\r\nDATA COUNT,3\r\n"), std::string::npos);
    EXPECT_NE(saved.find("\r\n" + Row(3, "2.0,,Out Of Range")), std::string::npos) << saved;
    EXPECT_EQ(saved.find("\r\n4,"), std::string::npos);

    // Failures keep the working file as it was.
    const struct {
        const char* name;
        std::string bytes;
        std::string out;
    } failures[] = {
        {"no record", kHeader, out},
        {"not a working file", "Brisquent,1.01\r\n", out},
        {"unreadable", "garbage", out},
        {"out is the working file", kHeader + kRows, WorkPath("20260304050600.csv")},
        {"out cannot be written", kHeader + kRows, testing_support::TestHome() + "/missing/out.csv"},
        // Short lines that claim to be rows, then a whole row: as many records for every channel
        // would write a data file far larger than this one, and take as much memory.
        {"more rows than its size can hold",
         kHeader +
             [] {
                 std::string rows;
                 for (int i = 0; i < 100'000; ++i) rows += "1,a\r\n";
                 return rows;
             }() +
             Row(100'001, "1.0,,3.0"),
         out},
    };
    for (const auto& f : failures) {
        SCOPED_TRACE(f.name);
        const std::string bytes = f.bytes;
        LeaveRun("20260304050600.csv", bytes);
        EXPECT_EQ(RecoverUnsavedRun(path, f.out, store, problem), ERecovery::kFailed);
        EXPECT_FALSE(problem.empty());
        if (std::string(f.name) == "more rows than its size can hold") {
            EXPECT_NE(problem.find(": line "), std::string::npos) << problem;
        }
        EXPECT_EQ(ReadFile(path), bytes);
    }
}
