// A recorder run killed with SIGKILL against hollowmere-sim on 127.0.0.1, then its working file
// brought back: by hollowmere-record --recover, and by the window's start-up offer.
#include <gtest/gtest.h>
#include <signal.h>

#include <filesystem>

#include "app/MainDlg.h"
#include "controller/LoopbackTestHelpers.h"
#include "dialogs/ScriptedOperatorPrompt.h"
#include "display/TestApplication.h"
#include "files/Settings.h"
#include "files/UnsavedRun.h"
#include "support/AppProcess.h"
#include "support/TestHome.h"

using namespace std::chrono_literals;
using testing_support::FileExists;
using testing_support::ReadFile;
using testing_support::WriteFile;

namespace {

constexpr size_t kHeaderLines = 14;
// Eight seconds at 100 ms, less the working file's lag.
constexpr size_t kRowsBeforeTheKill = 70;

// The lines of a file that end with CR LF; a last line cut short is left out.
std::vector<std::string> WholeLines(const std::string& text) {
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2)
        lines.push_back(text.substr(start, end - start));
    return lines;
}
std::vector<std::string> DataRows(const std::string& text) {
    std::vector<std::string> lines = WholeLines(text);
    return lines.size() > kHeaderLines ? std::vector<std::string>(lines.begin() + kHeaderLines, lines.end())
                                       : std::vector<std::string>{};
}

class RecoveryEndToEndTest : public ::testing::Test {
protected:
    std::string root;
    uint16_t port = 0;
    std::string workingFile;
    std::vector<std::string> workingRows;  // what the working file held after the kill

    void SetUp() override {
        testing_support::ResetTestHome();
        root = testing_support::TestHome() + "/Documents/Quillmark/Brisquent";
        port = FreeLoopbackPort();
        std::string lastone = "[user]\r\nsystem-no=5\r\nsample-intvl=100msec\r\n";
        for (int channel = 1; channel <= 100; ++channel)
            lastone +=
                "chpt" + std::to_string(channel) + (channel <= 3 ? "=ON,K,\"\"\r\n" : "=OFF,K,\"\"\r\n");
        WriteFile(root + "/Setup/lastone.ini", lastone);
        WriteFile(root + "/Setup/define.ini",
                  "[parameter]\r\nhid-vid=tcp\r\nhid-pid=" + std::to_string(port) + "\r\n");
    }
    std::string Path(const std::string& name) const { return testing_support::TestHome() + "/" + name; }
    std::string Output(const std::string& name) const { return ReadFile(Path(name)); }

    // A recorder run at 100 ms with units 1 to 3 reading 25.0, killed with SIGKILL once its working
    // file holds about eight seconds of rows; the simulator is stopped after it.
    void RecordAndKill() {
        CAppProcess sim(CAppProcess::BinaryPath("hollowmere-sim"),
                        {"--host", "127.0.0.1", "--port", std::to_string(port), "--units", "1-3", "--sensor",
                         "800", "--thermo", "0", "--seed", "7", "--auto-info", "--auto-stop-notice"},
                        Path("sim.txt"));
        CAppProcess recorder(CAppProcess::BinaryPath("hollowmere-record"), {"--out", Path("never.csv")},
                             Path("record.txt"));
        const std::string work = root + "/Data/work";
        const auto rowsWritten = [&] {
            if (!std::filesystem::is_directory(work))
                return false;
            for (const auto& entry : std::filesystem::directory_iterator(work)) {
                workingFile = entry.path().string();
                return DataRows(ReadFile(workingFile)).size() >= kRowsBeforeTheKill;
            }
            return false;
        };
        ASSERT_TRUE(WaitUntil(rowsWritten, 60s)) << Output("record.txt");
        ASSERT_TRUE(recorder.Signal(SIGKILL));
        EXPECT_EQ(recorder.Wait(10s), 128 + SIGKILL);
        sim.Signal(SIGTERM);
        sim.Wait(10s);
        const std::string text = ReadFile(workingFile);
        ASSERT_EQ(WholeLines(text).front(), "Brisquent-Working,1.01");
        workingRows = DataRows(text);
        ASSERT_GE(workingRows.size(), kRowsBeforeTheKill);
        ExpectEveryRowOf25(workingRows);
    }
    // Numbered from 1, 25.0 on channels 1 to 3: none Lost.
    static void ExpectEveryRowOf25(const std::vector<std::string>& rows) {
        for (size_t i = 0; i < rows.size(); ++i) {
            const std::string& row = rows[i];
            ASSERT_EQ(row.substr(0, row.find(',')), std::to_string(i + 1)) << row;
            ASSERT_EQ(row.substr(row.size() - 15), ",25.0,25.0,25.0") << row;
        }
    }
    // The data file holds exactly the working file's rows, as a data file.
    void ExpectDataFileOfTheRun(const std::string& path) const {
        const std::string text = ReadFile(path);
        const std::vector<std::string> lines = WholeLines(text);
        ASSERT_GT(lines.size(), kHeaderLines) << text;
        EXPECT_EQ(lines[0], "Brisquent,1.01");
        EXPECT_EQ(lines[6], "DATA COUNT," + std::to_string(workingRows.size()));
        EXPECT_EQ(DataRows(text), workingRows);
        EXPECT_EQ(text.substr(text.size() - 2), "\r\n");
    }
};

}  // namespace

TEST_F(RecoveryEndToEndTest, RecorderSavesAKilledRunAsADataFile) {
    ASSERT_NO_FATAL_FAILURE(RecordAndKill());
    // The next recording says what waits, once the file has stood still for a row's time.
    ASSERT_TRUE(WaitUntil([] { return !VEK::FindUnsavedRuns(VEK::WorkFolder()).empty(); }, 30s));
    {
        CAppProcess next(CAppProcess::BinaryPath("hollowmere-record"), {"--out", Path("next.csv")},
                         Path("next.txt"));
        const std::string notice = "1 unsaved run is waiting in " + VEK::WorkFolder() + "/";
        EXPECT_TRUE(WaitUntil([&] { return Output("next.txt").find(notice) != std::string::npos; }, 30s))
            << Output("next.txt");
        next.Signal(SIGTERM);
        next.Wait(30s);
    }
    ASSERT_EQ(DataRows(ReadFile(workingFile)), workingRows);
    const std::string out = Path("recovered.csv");
    CAppProcess recover(CAppProcess::BinaryPath("hollowmere-record"),
                        {"--recover", workingFile, "--out", out}, Path("recover.txt"));
    ASSERT_EQ(recover.Wait(60s), 0) << Output("recover.txt");
    EXPECT_NE(
        Output("recover.txt")
            .find("records: " + std::to_string(workingRows.size()) + "\nchannels: 3\nlost readings: 0\n"),
        std::string::npos)
        << Output("recover.txt");
    ExpectDataFileOfTheRun(out);
    EXPECT_FALSE(FileExists(workingFile));

    // Nothing left to recover: a second attempt fails and leaves the data file alone.
    CAppProcess again(CAppProcess::BinaryPath("hollowmere-record"), {"--recover", workingFile, "--out", out},
                      Path("again.txt"));
    EXPECT_EQ(again.Wait(60s), 1) << Output("again.txt");
    ExpectDataFileOfTheRun(out);
}

TEST_F(RecoveryEndToEndTest, WindowOffersAKilledRunAndSavesEveryRecord) {
    ASSERT_NO_FATAL_FAILURE(RecordAndKill());
    // The window's own dongle search finds nothing; the run's file is what matters here.
    WriteFile(root + "/Setup/define.ini", "[parameter]\r\n");
    // Offered once it has stood still for a row's time: the killed process writes no more.
    ASSERT_TRUE(WaitUntil([] { return !VEK::FindUnsavedRuns(VEK::WorkFolder()).empty(); }, 30s));

    EnsureTestApplication();
    CScriptedOperatorPrompt prompt;
    prompt.onChoose = [](const IOperatorPrompt::TChoice&) { return size_t{0}; };  // Open
    CMainDlg dialog(&prompt);
    ASSERT_TRUE(dialog.InitDialog());
    dialog.show();
    CMeasurementDataManager& store = dialog.Controller().Store();
    ASSERT_TRUE(Pump([&] { return store.State() == CMeasurementDataManager::kStateHolding; }, 10000));
    ASSERT_EQ(prompt.boxes.size(), 1u);
    EXPECT_NE(prompt.boxes[0].text.find("was not saved (" + std::to_string(workingRows.size()) +
                                        " records, 3 channels). Open it now?"),
              std::string::npos)
        << prompt.boxes[0].text;

    // Unsaved data of the run, every record the working file held.
    EXPECT_TRUE(store.IsModified());
    EXPECT_EQ(store.SavedPath(), "");
    ASSERT_EQ(store.RecordCount(), workingRows.size());
    for (int channel = 1; channel <= 3; ++channel)
        for (uint32_t i = 0; i < store.RecordCount(); ++i)
            ASSERT_EQ(CMeasurementDataManager::GetReading(store.Channel(channel), i), 250)
                << channel << " " << i;

    const std::string out = Path("saved.csv");
    prompt.onChooseFile = [out](const IOperatorPrompt::TFileRequest&) {
        return std::optional<std::string>(out);
    };
    dialog.Controls().Action(CMainDlgControls::kSaveData)->trigger();
    EXPECT_EQ(prompt.boxes.back().text, "Finished saving data to the file.");
    ExpectDataFileOfTheRun(out);
    EXPECT_FALSE(FileExists(workingFile));
    dialog.OnDestroy();
}
