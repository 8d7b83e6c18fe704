#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>

#include "data/ReportBuilder.h"  // tests/data
#include "data/StoreMeasurementReport.h"
#include "files/DataFileReader.h"
#include "files/FileReader.h"
#include "files/Settings.h"
#include "files/WorkingFile.h"
#include "platform/Folders.h"
#include "support/TestHome.h"

using namespace VEK;
using testing_support::ReadFile;
using testing_support::WriteFile;

namespace {

class WorkingFileTest : public ::testing::Test {
protected:
    CMeasurementDataManager store;
    CWorkingFile working;

    void SetUp() override {
        testing_support::ResetTestHome();  // no Data/work folder yet
        TMeasurementSetup setup;
        setup.pollingSetting.SetRateCode(4);  // 1sec
        setup.pollingSetting.SetInUse(1, true);
        setup.pollingSetting.SetInUse(2, true);
        store.Start(setup);
        store.SetStartTime({2024, 5, 0, 6, 7, 8, 9, 10});
    }
    // Reading of a channel at a record: (2 * record + channel) / 2 degC.
    static int16_t ValueAt(uint32_t record, int channel) {
        return static_cast<int16_t>((record * 2 + channel) * 5);
    }
    void Report(int channel, uint32_t record) {
        const uint16_t word = static_cast<uint16_t>((record * 2 + channel) * 64);
        StoreMeasurementReport(
            store, data_test::MeasurementReport(channel, static_cast<uint8_t>(record), {{word, 0}}));
    }
    // One sampling period: the units' reports for the period's record (those given), then the tick.
    void Tick(std::initializer_list<int> channels = {1, 2}) {
        const uint32_t record = store.RecordsThisRun();
        for (int channel : channels) Report(channel, record);
        store.AdvanceTick();
    }
    // The working file read back holds the store's readings.
    void ExpectFileEqualsStore() {
        CMeasurementDataManager loaded;
        TDataFileView view;
        CFileReader reader(working.Path());
        ASSERT_TRUE(reader.Open());
        ASSERT_TRUE(ReadDataFile101(reader, loaded, view));
        for (uint32_t i = 0; i < working.RowsWritten(); ++i) {
            for (int k = 1; k <= 2; ++k)
                ASSERT_EQ(CMeasurementDataManager::GetReading(loaded.Channel(k), i),
                          CMeasurementDataManager::GetReading(store.Channel(k), i))
                    << "record " << i << " channel " << k;
        }
        EXPECT_EQ(loaded.StartTime(), (CSystemTime{2024, 5, 0, 6, 7, 8, 9, 0}));
    }
    size_t Rows() const {
        const std::string text = ReadFile(working.Path());
        return static_cast<size_t>(std::count(text.begin(), text.end(), '\n')) - 14;
    }
    static mode_t Mode(const std::string& path) {
        struct stat st {};
        stat(path.c_str(), &st);
        return st.st_mode & 07777;
    }
};

}  // namespace

// A row goes once every channel has it, or once a late report can no longer reach it, so the file
// never holds a row that changes later.
TEST_F(WorkingFileTest, RowsGoWhenCompleteOrOutOfAReportsReach) {
    ASSERT_TRUE(working.Start(store, {}));
    EXPECT_EQ(working.Path(), WorkFolder() + "/20240506070809.csv");
    EXPECT_EQ(ReadFile(working.Path()).substr(0, 24), "Brisquent-Working,1.01\r\n");
    for (int second = 0; second < 20; ++second) {
        Tick();
        ASSERT_TRUE(working.Append(store, false));
        EXPECT_EQ(Rows(), static_cast<size_t>(second + 1));
    }
    // Channel 2 misses record 20; its report comes five periods late and still makes the row.
    Tick({1});
    for (int second = 21; second < 25; ++second) Tick();
    ASSERT_TRUE(working.Append(store, false));
    EXPECT_EQ(Rows(), 20u);
    Report(2, 20);
    Tick();
    ASSERT_TRUE(working.Append(store, false));
    EXPECT_EQ(Rows(), 26u);
    EXPECT_EQ(CMeasurementDataManager::GetReading(store.Channel(2), 20), ValueAt(20, 2));

    // Channel 2 falls silent from record 26 on: once a late report can no longer reach record 26, it
    // goes with channel 2 Lost, and a report for it after that is dropped, not put into a row that
    // was passed on.
    for (int second = 26; second < 40; ++second) Tick({1});
    const uint32_t completed = store.CompletedRecords();
    EXPECT_GT(completed, 26u);
    EXPECT_LT(completed, 40u);
    ASSERT_TRUE(working.Append(store, false));
    EXPECT_EQ(Rows(), completed);
    Report(2, 26);
    EXPECT_EQ(store.DroppedSamples(), 1u);
    EXPECT_EQ(CMeasurementDataManager::GetReading(store.Channel(2), 26), kReadingLost);

    // The stop: every record the clock counted, but the uneven last second.
    Report(1, 40);
    store.Stop();
    EXPECT_EQ(store.RecordCount(), 39u);
    ASSERT_TRUE(working.Append(store, true));
    EXPECT_EQ(Rows(), 39u);
    ExpectFileEqualsStore();

    const std::string path = working.Path();
    working.Delete();
    EXPECT_FALSE(testing_support::FileExists(path));
}

TEST_F(WorkingFileTest, FailedAppendLeavesNoPartRowAndIsMadeUpLater) {
    ASSERT_TRUE(working.Start(store, {}));
    for (int second = 0; second < 10; ++second) Tick();
    const std::string header = ReadFile(working.Path());
    signal(SIGXFSZ, SIG_IGN);
    rlimit old{};
    getrlimit(RLIMIT_FSIZE, &old);
    rlimit small{header.size() + 40, old.rlim_max};  // room for less than one row
    setrlimit(RLIMIT_FSIZE, &small);
    const bool appended = working.Append(store, false);
    setrlimit(RLIMIT_FSIZE, &old);
    EXPECT_FALSE(appended);
    EXPECT_EQ(ReadFile(working.Path()), header);
    EXPECT_EQ(working.RowsWritten(), 0u);

    ASSERT_TRUE(working.Append(store, false));
    EXPECT_EQ(Rows(), 10u);
    EXPECT_EQ(ReadFile(working.Path()).substr(header.size(), 30), "1,2024/05/06 07:08:09,0,0.5,1.");
}

TEST_F(WorkingFileTest, FastRatesWriteOnlyTwentyChannels) {
    TMeasurementSetup setup;
    setup.pollingSetting.SetRateCode(1);  // 100msec
    setup.pollingSetting.SetInUse(2, true);
    setup.pollingSetting.SetInUse(25, true);  // beyond the twenty channels of a fast rate
    store.Start(setup);
    store.SetStartTime({2024, 5, 0, 6, 7, 8, 9, 10});
    ASSERT_TRUE(working.Start(store, {}));
    EXPECT_EQ(working.ChannelCount(), 2u);
    for (int tick = 0; tick < 15; ++tick) Tick({2, 25});
    ASSERT_TRUE(working.Append(store, false));
    EXPECT_EQ(Rows(), 15u);
    EXPECT_EQ(ReadFile(working.Path()).substr(ReadFile(working.Path()).rfind("15,")),
              "15,2024/05/06 07:08:10,400,,15.0\r\n");
}

// Whoever may write the work folder may swap the working file for a link to a file of the user's:
// the rows, appended and taken back, go through the file made at the start, never the name.
TEST_F(WorkingFileTest, RowsNeverFollowTheNameToAnotherFile) {
    ASSERT_TRUE(working.Start(store, {}));
    const std::string path = working.Path();
    EXPECT_EQ(Mode(path), 0600u);  // the rows are the user's alone
    EXPECT_EQ(Mode(WorkFolder()), 0700u);
    const std::string victim = testing_support::TestHome() + "/victim.txt";
    WriteFile(victim, "precious");
    const std::string moved = path + ".moved";
    ASSERT_EQ(rename(path.c_str(), moved.c_str()), 0);
    ASSERT_EQ(symlink(victim.c_str(), path.c_str()), 0);
    for (int second = 0; second < 10; ++second) {
        Tick();
        ASSERT_TRUE(working.Append(store, false));
    }
    store.Stop();
    ASSERT_TRUE(working.Append(store, true));
    EXPECT_EQ(ReadFile(victim), "precious");
    const std::string rows = ReadFile(moved);
    EXPECT_EQ(std::count(rows.begin(), rows.end(), '\n'), 14 + 10);
}

// A file or a link already under the run's name is never replaced nor followed.
TEST_F(WorkingFileTest, NeverMadeOverWhatIsAlreadyThere) {
    ASSERT_TRUE(CreateFolderWithParents(WorkFolder(), 0700));
    const std::string path = WorkFolder() + "/20240506070809.csv";
    const std::string victim = testing_support::TestHome() + "/victim.txt";
    WriteFile(victim, "precious");
    ASSERT_EQ(symlink(victim.c_str(), path.c_str()), 0);
    EXPECT_FALSE(working.Start(store, {}));
    EXPECT_EQ(working.Path(), "");
    EXPECT_EQ(std::filesystem::read_symlink(path), victim);
    EXPECT_EQ(ReadFile(victim), "precious");
    working.Delete();
    EXPECT_TRUE(std::filesystem::is_symlink(path));
}

// A work folder someone else may write is not used, and the reason is given.
TEST_F(WorkingFileTest, WorkFolderOthersMayWriteIsRefusedWithTheReason) {
    ASSERT_TRUE(CreateFolderWithParents(WorkFolder()));
    const struct {
        mode_t mode;
        uid_t owner;
        const char* reason;
    } cases[] = {
        {01777, geteuid(), "can be written by other users (mode 1777); allow only its owner to write it"},
        {0770, geteuid(), "can be written by other users (mode 0770)"},
        {0700, 2999, "belongs to another user (uid 2999)"},  // root only
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.reason);
        if (c.owner != geteuid() && geteuid() != 0)
            continue;
        ASSERT_EQ(chmod(WorkFolder().c_str(), c.mode), 0);
        ASSERT_EQ(chown(WorkFolder().c_str(), c.owner, static_cast<gid_t>(-1)), 0);
        EXPECT_FALSE(working.Start(store, {}));
        EXPECT_NE(working.Problem().find("The work folder \"" + WorkFolder() + "\" " + c.reason),
                  std::string::npos)
            << working.Problem();
        EXPECT_TRUE(std::filesystem::is_empty(WorkFolder()));
        ASSERT_EQ(chown(WorkFolder().c_str(), geteuid(), static_cast<gid_t>(-1)), 0);
    }
    ASSERT_EQ(chmod(WorkFolder().c_str(), 0755), 0);
    EXPECT_TRUE(working.Start(store, {}));
    EXPECT_EQ(working.Problem(), "");
}

// The file limit stands in for a full disk: the appends fail, the problem names the file and the
// system's reason, the log gets the first failure of the row and the append that makes up for it.
// The limit holds for the log's writer thread too, so the working file is first grown well past the
// log: the log's lines still fit below it whenever that thread writes them.
TEST_F(WorkingFileTest, FailuresAreNamedOnceAndTheirEndIsLogged) {
    ASSERT_TRUE(working.Start(store, {}));
    while (ReadFile(working.Path()).size() < ReadFile(LogFilePath()).size() + 4096) {
        Tick();
        ASSERT_TRUE(working.Append(store, false));
    }
    const size_t rowsBefore = Rows();
    signal(SIGXFSZ, SIG_IGN);
    rlimit old{};
    getrlimit(RLIMIT_FSIZE, &old);
    // Less than a row: the first append of the row is cut short, the later ones fail at once.
    rlimit small{ReadFile(working.Path()).size() + 10, old.rlim_max};
    setrlimit(RLIMIT_FSIZE, &small);
    bool appended = false;
    for (int attempt = 0; attempt < 3; ++attempt) {
        Tick();
        appended = appended || working.Append(store, false);
    }
    setrlimit(RLIMIT_FSIZE, &old);
    EXPECT_FALSE(appended);
    EXPECT_EQ(working.Problem(), working.Path() + " cannot be written: File too large");
    ASSERT_TRUE(working.Append(store, false));
    EXPECT_EQ(working.Problem(), "");
    EXPECT_EQ(Rows(), rowsBefore + 3);

    const std::string failed = "作業ファイル[" + working.Path() + "]に書き込めません(File too large)。";
    const std::string madeUp = "作業ファイル[" + working.Path() + "]に遅れていた行を書きました(" +
                               std::to_string(rowsBefore + 3) + " 行)。";
    std::string log;
    for (int i = 0; i < 500 && log.find(madeUp) == std::string::npos; ++i) {
        usleep(10000);
        log = ReadFile(LogFilePath());
    }
    size_t failures = 0;
    for (size_t at = log.find(failed); at != std::string::npos; at = log.find(failed, at + 1)) ++failures;
    EXPECT_EQ(failures, 1u) << log;
    EXPECT_NE(log.find(madeUp), std::string::npos) << log;
    EXPECT_NE(log.find("作業ファイル[" + working.Path() + "]を作成しました。"), std::string::npos);
}

// Without room for its header there is no working file: an append must not make one without it.
TEST_F(WorkingFileTest, FileThatCannotBeCreatedIsNamedAndNeverAppendedTo) {
    signal(SIGXFSZ, SIG_IGN);
    rlimit old{};
    getrlimit(RLIMIT_FSIZE, &old);
    rlimit small{100, old.rlim_max};
    setrlimit(RLIMIT_FSIZE, &small);
    const bool started = working.Start(store, {});
    setrlimit(RLIMIT_FSIZE, &old);
    EXPECT_FALSE(started);
    EXPECT_EQ(working.Path(), "");
    EXPECT_EQ(working.Problem(), WorkFolder() + "/20240506070809.csv cannot be created: File too large");
    for (int second = 0; second < 10; ++second) Tick();
    EXPECT_FALSE(working.Append(store, true));
    EXPECT_FALSE(testing_support::FileExists(WorkFolder() + "/20240506070809.csv"));
}
