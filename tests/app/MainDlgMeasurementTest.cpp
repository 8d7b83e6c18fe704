// Quitting the main window while it measures or holds data saved nowhere.
#include "MainDlgFixture.h"
#include "protocol/CommandCode.h"

#include <signal.h>
#include <sys/resource.h>

#include <algorithm>

#include <QLabel>

namespace {

using Ids = CMainDlgControls;

class MainDlgMeasurementTest : public CMainDlgFixture {
protected:
    void SetUp() override {
        CMainDlgFixture::SetUp();
        // Start with the start dialog's OK as it opens, no stop and no file.
        prompt.onRun = [](QDialog& dialog) {
            if (auto* ok = dialog.findChild<QAbstractButton*>("1"))
                ok->click();
            return dialog.result();
        };
    }
    std::string WorkFolder() const {
        return testing_support::TestHome() + "/Documents/Quillmark/Brisquent/Data/work";
    }
    size_t WorkingFiles() const {
        std::error_code ignored;
        size_t count = 0;
        for (auto it = std::filesystem::directory_iterator(WorkFolder(), ignored);
             it != std::filesystem::directory_iterator(); ++it)
            ++count;
        return count;
    }
};

TEST_F(MainDlgMeasurementTest, QuitWhileMeasuringFinishesTheRunAndKeepsItsWorkingFile) {
    Click(Ids::kStartStop);
    ASSERT_EQ(RunState(), CMeasurementDataManager::kStateMeasuring);
    ASSERT_TRUE(Pump([&] { return Store().RecordCount() >= 2; }, 10000));
    ASSERT_EQ(WorkingFiles(), 1u);

    dialog->ConfirmedQuit();
    EXPECT_NE(RunState(), CMeasurementDataManager::kStateMeasuring);
    EXPECT_FALSE(dialog->Controller().KeepAwakeRequested());
    // Standby mode with system number 5 after the stop.
    EXPECT_TRUE(ReceivedFrame({0x02, 0x04, QNL::Code::kModeSetting, 0x00, 0x05}));
    dialog->OnDestroy();
    // Saved nowhere: the working file is the only copy of the run.
    EXPECT_EQ(WorkingFiles(), 1u);
}

TEST_F(MainDlgMeasurementTest, QuitWithUnsavedDataAsksFirst) {
    Click(Ids::kStartStop);
    ASSERT_TRUE(Pump([&] { return Store().RecordCount() >= 1; }, 10000));
    prompt.onAsk = [](const IOperatorPrompt::TQuestion&) { return true; };
    Click(Ids::kStartStop);
    ASSERT_EQ(RunState(), CMeasurementDataManager::kStateHolding);

    prompt.boxes.clear();
    prompt.onAsk = [](const IOperatorPrompt::TQuestion&) { return false; };
    dialog->QuitRequest();
    EXPECT_EQ(prompt.Asked(), std::vector<std::string>{"The measurement data are discarded. Is it ok?"});
    // Still there, data kept.
    EXPECT_EQ(RunState(), CMeasurementDataManager::kStateHolding);
    EXPECT_EQ(dialog->result(), 0);
}

// A disk that fills while measuring (the file limit stands in for it): one box with the reason, the
// information line names the problem until the working file takes its rows again; an automatic
// save that fails says so, keeps the data and offers Save again.
TEST_F(MainDlgMeasurementTest, FullDiskIsToldAndTheDataStay) {
    const std::string file = DataPath("auto.csv");
    AnswerStartDialog(std::nullopt, file);
    Click(Ids::kStartStop);
    ASSERT_EQ(RunState(), CMeasurementDataManager::kStateMeasuring);
    const std::string working = dialog->Controller().WorkingFilePath();
    auto information = [&] { return Control<QLabel>(Ids::kInformation)->text().toStdString(); };
    auto errors = [&] {
        std::vector<std::string> texts;
        for (const auto& box : prompt.boxes)
            if (box.kind == CScriptedOperatorPrompt::TBox::EKind::kTell &&
                box.icon == IOperatorPrompt::EIcon::kError)
                texts.push_back(box.text);
        return texts;
    };
    // Rows go to the working file once their records are complete: wait for the first of them.
    auto lines = [&] {
        const std::string text = testing_support::ReadFile(working);
        return std::count(text.begin(), text.end(), '\n');
    };
    ASSERT_TRUE(Pump([&] { return lines() > 14; }, 20000));
    signal(SIGXFSZ, SIG_IGN);
    rlimit old{};
    getrlimit(RLIMIT_FSIZE, &old);
    rlimit full{testing_support::ReadFile(working).size() + 40, old.rlim_max};
    setrlimit(RLIMIT_FSIZE, &full);
    ASSERT_TRUE(Pump([&] { return !errors().empty(); }, 5000));
    Pump([] { return false; }, 2500);
    const std::string problem = working + " cannot be written: File too large";
    EXPECT_EQ(errors(), std::vector<std::string>{
                            "The working file " + problem +
                            ".\nThe measurement goes on; the rows are written as soon as the "
                            "file can be written, and the data stay in memory until they are saved."});
    const std::string name = working.substr(working.find_last_of('/') + 1);
    EXPECT_NE(information().find("Working file " + name + " cannot be written: File too large"),
              std::string::npos)
        << information();
    // Taken now, saved once files may grow again.
    QCoreApplication::sendPostedEvents();
    const QPixmap shot = dialog->grab();
    setrlimit(RLIMIT_FSIZE, &old);
    QDir().mkpath(HOLLOWMERE_SCREENS_DIR);
    EXPECT_TRUE(shot.save(HOLLOWMERE_SCREENS_DIR "/main_full_disk.png"));
    ASSERT_TRUE(Pump([&] { return information().find(problem) == std::string::npos; }, 5000))
        << information();

    setrlimit(RLIMIT_FSIZE, &full);
    prompt.onAsk = [](const IOperatorPrompt::TQuestion&) { return true; };
    Click(Ids::kStartStop);
    setrlimit(RLIMIT_FSIZE, &old);
    ASSERT_EQ(RunState(), CMeasurementDataManager::kStateHolding);
    ASSERT_GE(errors().size(), 2u);
    EXPECT_EQ(errors()[1].substr(0, errors()[1].find("\nThe working file")),
              "Failed to save data to the file.\n" + file + ": File too large");
    EXPECT_FALSE(testing_support::FileExists(file));
    EXPECT_TRUE(dialog->Controls().Action(Ids::kSaveData)->isEnabled());
    EXPECT_TRUE(dialog->Controller().HasUnsavedRun());
    EXPECT_GE(Store().RecordCount(), 6u);
}

}  // namespace
