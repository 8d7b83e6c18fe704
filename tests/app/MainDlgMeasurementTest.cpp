// Quitting the main window while it measures or holds data saved nowhere.
#include "MainDlgFixture.h"
#include "protocol/CommandCode.h"

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

}  // namespace
