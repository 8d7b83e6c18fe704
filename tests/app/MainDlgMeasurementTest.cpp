// The main window with its controller against the simulated dongle in the same process.
#include <gtest/gtest.h>

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <filesystem>

#include "LoopbackTestHelpers.h"
#include "TestApplication.h"
#include "app/MainDlg.h"
#include "counterpart/OppositeSession.h"
#include "counterpart/SimOptions.h"
#include "support/TestHome.h"

namespace {

class MainDlgMeasurementTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { EnsureTestApplication(); }
    void SetUp() override {
        testing_support::ResetTestHome();
        const std::string setup = testing_support::TestHome() + "/Documents/Quillmark/Brisquent/Setup";
        port = FreeLoopbackPort();
        testing_support::WriteFile(setup + "/define.ini",
                                   "[parameter]\r\nhid-vid=tcp\r\nhid-pid=" + std::to_string(port) + "\r\n");
        testing_support::WriteFile(setup + "/lastone.ini", "[user]\r\nsystem-no=5\r\nsample-intvl=1sec\r\n");
        TSimOptions options;
        std::string error;
        ASSERT_TRUE(ParseSimOptions({"--units", "1-3", "--auto-info", "--auto-stop-notice"}, options, error));
        sim.WithEngine([&](COppositeEngine& engine) { ApplySimOptions(options, engine); });
        sim.SetServer("127.0.0.1", port);
        sim.SetTrace([this](const std::string& line) {
            std::lock_guard lock(traceLock);
            if (line.rfind("<- ", 0) == 0)
                received.push_back(line);
        });
        ASSERT_TRUE(dialog.InitDialog());
        sim.Start();
        ASSERT_TRUE(Pump([&] { return dialog.Controller().IsConnected(); }, 10000));
    }
    void TearDown() override {
        dialog.OnDestroy();
        sim.Stop();
    }
    QPushButton* StartStop() { return dialog.findChild<QPushButton*>("startStop"); }
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
    bool Received(const std::string& prefix) {
        std::lock_guard lock(traceLock);
        for (const std::string& line : received)
            if (line.rfind(prefix, 0) == 0)
                return true;
        return false;
    }
    // Answers the next modal question with the given button.
    static void AnswerNextQuestion(QMessageBox::StandardButton answer, bool& asked) {
        QTimer::singleShot(200, [answer, &asked] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            asked = box != nullptr;
            if (box)
                box->button(answer)->click();
        });
    }

    uint16_t port = 0;
    COppositeSession sim{3};
    std::mutex traceLock;
    std::vector<std::string> received;
    CMainDlg dialog;
};

TEST_F(MainDlgMeasurementTest, QuitWhileMeasuringFinishesTheRunAndKeepsItsWorkingFile) {
    StartStop()->click();
    ASSERT_EQ(dialog.Controller().RunState(), CMeasurementDataManager::kStateMeasuring);
    ASSERT_TRUE(Pump([&] { return dialog.Controller().Store().RecordCount() >= 2; }, 10000));
    ASSERT_EQ(WorkingFiles(), 1u);

    dialog.ConfirmedQuit();
    EXPECT_NE(dialog.Controller().RunState(), CMeasurementDataManager::kStateMeasuring);
    EXPECT_FALSE(dialog.Controller().KeepAwakeRequested());
    // Standby mode with system number 5 after the stop.
    EXPECT_TRUE(Received("<- 02 04 0F 00 05"));
    dialog.OnDestroy();
    // Saved nowhere: the working file is the only copy of the run.
    EXPECT_EQ(WorkingFiles(), 1u);
}

TEST_F(MainDlgMeasurementTest, QuitWithUnsavedDataAsksFirst) {
    StartStop()->click();
    ASSERT_TRUE(Pump([&] { return dialog.Controller().Store().RecordCount() >= 1; }, 10000));
    StartStop()->click();
    ASSERT_EQ(dialog.Controller().RunState(), CMeasurementDataManager::kStateHolding);

    bool asked = false;
    AnswerNextQuestion(QMessageBox::Cancel, asked);
    dialog.QuitRequest();
    EXPECT_TRUE(asked);
    // Still there, data kept.
    EXPECT_EQ(dialog.Controller().RunState(), CMeasurementDataManager::kStateHolding);
    EXPECT_EQ(dialog.result(), 0);
}

}  // namespace
