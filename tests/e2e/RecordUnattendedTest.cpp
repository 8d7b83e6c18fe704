// hollowmere-record left alone: a disk that fills up, a save that cannot reach its folder, a start
// without a dongle or with settings that cannot work.
#include <gtest/gtest.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "RecordRunFixture.h"
#include "support/SystemTime.h"

using namespace std::chrono_literals;
using testing_support::FileExists;
using testing_support::ReadFile;
using testing_support::WriteFile;

namespace {

using record_e2e::CRecordRunFixture;
using record_e2e::Fields;
using record_e2e::Lines;

class RecordUnattendedTest : public CRecordRunFixture {
protected:
    std::string Log() const { return ReadFile(Path("log/Hollowmere.log")); }
    bool OutputShows(const std::string& text) const {
        return RecorderOutput().find(text) != std::string::npos;
    }
    std::vector<std::filesystem::path> WorkFiles() const {
        std::vector<std::filesystem::path> files;
        if (std::filesystem::exists(root + "/Data/work"))
            for (const auto& entry : std::filesystem::directory_iterator(root + "/Data/work"))
                files.push_back(entry.path());
        return files;
    }
    // Every row of a data file: numbered from 1, a reading on every channel.
    static void ExpectCompleteRows(const std::vector<std::string>& rows, size_t count, size_t channels) {
        ASSERT_EQ(rows.size(), count);
        for (size_t i = 0; i < rows.size(); ++i) {
            const std::vector<std::string> fields = Fields(rows[i]);
            ASSERT_EQ(fields.size(), 3 + channels) << rows[i];
            EXPECT_EQ(fields[0], std::to_string(i + 1));
            for (size_t k = 3; k < fields.size(); ++k) ASSERT_NE(fields[k], "Lost") << rows[i];
        }
    }
};

// The documents folder on a small tmpfs of a private mount namespace, filled but for a few
// kilobytes: the working file runs out of room while measuring and says so at once, the save fails
// and is tried again, and once room is made every record is in the data file.
class RecordFullDiskTest : public RecordUnattendedTest {
protected:
    std::string documents;
    bool mounted = false;

    void SetUp() override {
        RecordUnattendedTest::SetUp();
        if (geteuid() != 0)
            GTEST_SKIP() << "SKIPPED: the full-disk run needs root for a private mount namespace";
        if (unshare(CLONE_NEWNS) != 0)
            GTEST_SKIP() << "SKIPPED: no private mount namespace: " << std::strerror(errno);
        ASSERT_EQ(mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr), 0) << std::strerror(errno);
        documents = testing_support::TestHome() + "/Documents";
        ASSERT_EQ(mount("tmpfs", documents.c_str(), "tmpfs", 0, "size=1m,mode=0700"), 0)
            << std::strerror(errno);
        mounted = true;
        // The settings again, on the new file system; the log outside it, to be read afterwards.
        WriteDefine("[folder]\r\nlog=" + Path("log") + "\r\n");
        WriteLastone("100msec", 20);
    }
    void TearDown() override {
        if (mounted)
            umount2(documents.c_str(), MNT_DETACH);
    }
    // Fills the file system but for `room` bytes.
    std::string Fill(uint64_t room) const {
        struct statvfs fs {};
        EXPECT_EQ(statvfs(documents.c_str(), &fs), 0);
        const uint64_t free = uint64_t{fs.f_bavail} * fs.f_frsize;
        const std::string filler = documents + "/filler";
        std::ofstream(filler, std::ios::binary) << std::string(free > room ? free - room : 0, 'x');
        return filler;
    }
};

TEST_F(RecordFullDiskTest, NothingMeasuredIsLost) {
    const std::string out = root + "/Data/full.csv";
    CAppProcess sim(CAppProcess::BinaryPath("hollowmere-sim"),
                    {"--host", "127.0.0.1", "--port", std::to_string(port), "--units", "1-20", "--sensor",
                     "800", "--seed", "7", "--auto-info", "--auto-stop-notice"},
                    Path("sim.txt"));
    const std::string filler = Fill(8 * 1024);
    auto recorder = StartRecorder({"--records", "150", "--out", out, "--save-retry", "1"});
    // Said while measuring, with the system's reason.
    ASSERT_TRUE(WaitUntil([&] { return OutputShows("cannot be written: No space left on device"); }, 40s))
        << RecorderOutput();
    EXPECT_FALSE(OutputShows("records: "));
    ASSERT_TRUE(WaitUntil([&] { return OutputShows("is tried again every 1 s"); }, 40s)) << RecorderOutput();
    EXPECT_TRUE(OutputShows("error: Failed to save data to the file.\n" + out + ": No space left on device"));
    std::filesystem::remove(filler);
    EXPECT_EQ(recorder->Wait(30s), 0) << RecorderOutput();
    sim.Signal(SIGTERM);
    sim.Wait(10s);

    ExpectCompleteRows(DataRows(ReadFile(out)), 150, 20);
    EXPECT_TRUE(OutputShows("saved the 150 records to " + out));
    EXPECT_TRUE(
        OutputShows("records: 150\nchannels: 20\nlost readings: 0\ndropped samples: 0\nfile: " + out + "\n"))
        << RecorderOutput();
    // Saved: the working file has served its purpose.
    EXPECT_TRUE(WorkFiles().empty());
    const std::string log = Log();
    EXPECT_NE(log.find("]に書き込めません(No space left on device)。"), std::string::npos) << log;
    EXPECT_NE(log.find("ファイル[" + out + "]の保存に失敗しました(No space left on device)。"),
              std::string::npos);
    EXPECT_NE(log.find("ファイル[" + out + "]に 150 件を保存しました("), std::string::npos);
}

// A folder that never comes: the wait ends, and the data go to $XDG_RUNTIME_DIR; the working file
// stays for a recovery, and the summary names the file that holds the run.
TEST_F(RecordUnattendedTest, SaveThatNeverWorksEndsInTheFallbackFolder) {
    auto sim = StartSim();
    const std::string out = Path("missing/x.csv");
    auto recorder = StartRecorder({"--records", "3", "--out", out, "--save-wait", "2", "--save-retry", "1"});
    EXPECT_EQ(recorder->Wait(60s), 1) << RecorderOutput();
    StopSim(*sim);
    std::vector<std::filesystem::path> fallback;
    for (const auto& entry : std::filesystem::directory_iterator(Path("run")))
        if (entry.path().extension() == ".csv")
            fallback.push_back(entry.path());
    ASSERT_EQ(fallback.size(), 1u) << RecorderOutput();
    EXPECT_EQ(fallback.front().filename().string().substr(14), "-x.csv");
    ExpectCompleteRows(DataRows(ReadFile(fallback.front().string())), 3, 3);
    EXPECT_TRUE(OutputShows(out + ": No such file or directory")) << RecorderOutput();
    EXPECT_TRUE(OutputShows("saved the 3 records to " + fallback.front().string() + " instead of " + out));
    EXPECT_TRUE(OutputShows("\nfile: " + fallback.front().string() + "\n")) << RecorderOutput();
    EXPECT_EQ(WorkFiles().size(), 1u);
}

// A quit signal during the wait: one more try at once, then the fallback; no ten minutes.
TEST_F(RecordUnattendedTest, SignalDuringTheSaveWaitTriesOnceMoreThenFallsBack) {
    auto sim = StartSim();
    const std::string out = Path("missing/x.csv");
    auto recorder = StartRecorder({"--records", "3", "--out", out});
    ASSERT_TRUE(WaitUntil([&] { return OutputShows("is tried again every 5 s for 10 min"); }, 60s))
        << RecorderOutput();
    // Made now: the one more try finds the folder.
    std::filesystem::create_directories(Path("missing"));
    recorder->Signal(SIGTERM);
    EXPECT_EQ(recorder->Wait(20s), 0) << RecorderOutput();
    StopSim(*sim);
    ExpectCompleteRows(DataRows(ReadFile(out)), 3, 3);
    EXPECT_TRUE(OutputShows("\nfile: " + out + "\n")) << RecorderOutput();
}

// Settings that can never work end the recorder at once, naming what to set.
TEST_F(RecordUnattendedTest, RefusesAtOnceWhatCanNeverWork) {
    struct TCase {
        const char* name;
        std::function<void()> prepare;
        std::vector<std::string> args;
        std::vector<std::string> said;
    };
    const std::string define = root + "/Setup/define.ini";
    const TCase cases[] = {
        {"empty home",
         [&] { std::filesystem::remove_all(testing_support::TestHome() + "/Documents"); },
         {"--records", "5", "--out", dataFile},
         {"no dongle vendor id is set: set \"hid-vid\" in section [parameter] of " + define,
          "no system number"}},
        {"vendor id zero",
         [&] { WriteFile(define, "[parameter]\r\nhid-vid=0x0000\r\n"); },
         {"--records", "5", "--out", dataFile},
         {"no dongle vendor id is set", define}},
        {"stop time passed",
         [] {},
         {"--stop-at", "2001/01/01 00:00:00", "--out", dataFile},
         {"--stop-at 2001-01-01 00:00:00 has passed"}},
        {"prefix without a broker",
         [] {},
         {"--mqtt-prefix", "plant", "--records", "5", "--out", dataFile},
         {"--mqtt-prefix needs a broker"}},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.name);
        SetUp();
        c.prepare();
        auto recorder = StartRecorder(c.args);
        EXPECT_EQ(recorder->Wait(10s), 2) << RecorderOutput();
        for (const std::string& text : c.said) EXPECT_TRUE(OutputShows(text)) << RecorderOutput();
        EXPECT_FALSE(FileExists(dataFile));
    }
}

// Without a dongle the recorder says what it waits for, logs it, and --wait bounds the wait.
TEST_F(RecordUnattendedTest, WaitForTheDongleIsNamedAndBounded) {
    auto recorder = StartRecorder({"--records", "5", "--out", dataFile, "--wait", "4"});
    EXPECT_EQ(recorder->Wait(20s), 1) << RecorderOutput();
    const std::string port = std::to_string(this->port);
    EXPECT_TRUE(OutputShows("waiting for the dongle (the development TCP port 127.0.0.1:" + port))
        << RecorderOutput();
    EXPECT_TRUE(OutputShows("no dongle (the development TCP port 127.0.0.1:" + port)) << RecorderOutput();
    EXPECT_TRUE(OutputShows("within 4 s; nothing was measured"));
    EXPECT_FALSE(FileExists(dataFile));
    const std::string log = ReadFile(root + "/Log/Hollowmere.log");
    EXPECT_NE(log.find("専用ドングルを待っています(the development TCP port 127.0.0.1:" + port),
              std::string::npos)
        << log;
    EXPECT_NE(log.find("4 秒待っても専用ドングルが見つかりませんでした"), std::string::npos);
}

}  // namespace
