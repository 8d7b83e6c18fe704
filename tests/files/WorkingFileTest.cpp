#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>

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
        setup.pollingSetting.SetRateCode(4);  // 1sec: four records of lag
        setup.pollingSetting.SetInUse(1, true);
        setup.pollingSetting.SetInUse(2, true);
        store.Start(setup);
        store.SetStartTime({2024, 5, 0, 6, 7, 8, 9, 10});
    }
    // One sampling period: the tick, then both units' reports for the record.
    void Tick() {
        const uint32_t record = store.RecordsThisRun();
        store.AdvanceTick();
        for (int k = 1; k <= 2; ++k)
            CMeasurementDataManager::SetReading(store.Channel(k), record,
                                                static_cast<int16_t>(record * 10 + k));
        store.SetRecordCount(record + 1);
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

TEST_F(WorkingFileTest, LagsDuringTheRunAndHoldsEveryRecordAfterTheStop) {
    ASSERT_TRUE(working.Start(store, {}));
    EXPECT_EQ(working.Path(), WorkFolder() + "/20240506070809.csv");
    EXPECT_EQ(ReadFile(working.Path()).substr(0, 24), "Brisquent-Working,1.01\r\n");
    for (int second = 0; second < 3; ++second) {
        Tick();
        ASSERT_TRUE(working.Append(store, false));
    }
    EXPECT_EQ(Rows(), 0u);  // fewer records than the lag
    for (int second = 3; second < 20; ++second) {
        Tick();
        ASSERT_TRUE(working.Append(store, false));
        EXPECT_EQ(Rows(), static_cast<size_t>(second + 1 - 4));
    }
    // A report a record ahead of the tick, then the stop.
    CMeasurementDataManager::SetReading(store.Channel(1), 20, 777);
    store.SetRecordCount(21);
    store.Stop();
    ASSERT_TRUE(working.Append(store, true));
    EXPECT_EQ(Rows(), 21u);

    CMeasurementDataManager loaded;
    TDataFileView view;
    CFileReader reader(working.Path());
    ASSERT_TRUE(reader.Open());
    ASSERT_TRUE(ReadDataFile101(reader, loaded, view));
    EXPECT_EQ(loaded.RecordCount(), 21u);
    for (uint32_t i = 0; i < 20; ++i)
        EXPECT_EQ(CMeasurementDataManager::GetReading(loaded.Channel(2), i), i * 10 + 2);
    EXPECT_EQ(CMeasurementDataManager::GetReading(loaded.Channel(1), 20), 777);
    EXPECT_EQ(loaded.StartTime(), (CSystemTime{2024, 5, 0, 6, 7, 8, 9, 0}));

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
    EXPECT_EQ(Rows(), 6u);
    EXPECT_EQ(ReadFile(working.Path()).substr(header.size(), 30), "1,2024/05/06 07:08:09,0,0.1,0.");
}

TEST_F(WorkingFileTest, FastRatesLagByOneSecondAndWriteOnlyTwentyChannels) {
    TMeasurementSetup setup;
    setup.pollingSetting.SetRateCode(1);  // 100msec
    setup.pollingSetting.SetInUse(2, true);
    setup.pollingSetting.SetInUse(25, true);  // beyond the twenty channels of a fast rate
    store.Start(setup);
    ASSERT_TRUE(working.Start(store, {}));
    EXPECT_EQ(working.ChannelCount(), 2u);
    for (int tick = 0; tick < 15; ++tick) store.AdvanceTick();
    ASSERT_TRUE(working.Append(store, false));
    EXPECT_EQ(Rows(), 5u);
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
TEST_F(WorkingFileTest, FailuresAreNamedOnceAndTheirEndIsLogged) {
    ASSERT_TRUE(working.Start(store, {}));
    for (int second = 0; second < 10; ++second) Tick();
    signal(SIGXFSZ, SIG_IGN);
    rlimit old{};
    getrlimit(RLIMIT_FSIZE, &old);
    rlimit small{ReadFile(working.Path()).size() + 40, old.rlim_max};
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
    EXPECT_EQ(Rows(), 9u);

    const std::string failed = "作業ファイル[" + working.Path() + "]に書き込めません(File too large)。";
    const std::string madeUp = "作業ファイル[" + working.Path() + "]に遅れていた行を書きました(9 行)。";
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
