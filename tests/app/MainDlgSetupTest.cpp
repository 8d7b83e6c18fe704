// The main window's setup commands: the setup dialog with real clicks, Export and Import Setup,
// and the partial deletions, boxes and dialogs answered by script.
#include <QLabel>
#include <QTest>

#include "MainDlgFixture.h"
#include "dialogs/SetupListView.h"
#include "files/DataFile.h"

namespace {

using Ids = CMainDlgControls;

class MainDlgSetupTest : public CMainDlgFixture {
protected:
    std::string Information() const { return Control<QLabel>(Ids::kInformation)->text().toStdString(); }
    // Clicks the use cell of a channel in the setup dialog, then OK or Cancel.
    void AnswerSetup(int channel, bool ok) {
        prompt.onRun = [channel, ok](QDialog& opened) {
            auto* setup = qobject_cast<CSetupDlg*>(&opened);
            if (setup == nullptr)
                return static_cast<int>(QDialog::Rejected);
            auto* list = setup->findChild<CSetupListView*>("1039");
            const QModelIndex cell = list->model()->index(channel, CSetupDlgModel::kUseColumn);
            list->scrollTo(cell);
            QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualRect(cell).center());
            setup->findChild<QAbstractButton*>(ok ? "1" : "2")->click();
            return setup->result();
        };
    }
};

TEST_F(MainDlgSetupTest, SetupDialogClicksAreAdoptedOnOkOnly) {
    AnswerSetup(1, false);
    Trigger(Ids::kSetup);
    EXPECT_TRUE(dialog->ParameterSet().polling.InUse(1));  // Cancel: the click is gone

    // Channels 1 to 10 are in use (4 to 10 by default): 11 joins them.
    AnswerSetup(11, true);
    Trigger(Ids::kSetup);
    EXPECT_TRUE(dialog->ParameterSet().polling.InUse(11));
    EXPECT_TRUE(dialog->Controller().PollingSetting().InUse(11));
    EXPECT_EQ(Store().ChannelsInUse(), (std::vector<int32_t>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11}));
    EXPECT_EQ(dialog->ParameterSet().systemNumber, 5u);
}

TEST_F(MainDlgSetupTest, ExportAndImportKeepTheSystemNumber) {
    const std::string path = testing_support::TestHome() + "/x.set";
    prompt.onChooseFile = [path](const IOperatorPrompt::TFileRequest&) { return std::optional(path); };
    EXPECT_TRUE(dialog->Controls().Action(Ids::kExportSetup)->isEnabled());
    Trigger(Ids::kExportSetup);
    EXPECT_EQ(prompt.Told(), std::vector<std::string>{"Finished saving data to the file."});
    std::string text = testing_support::ReadFile(path);
    ASSERT_NE(text.find("chpt1=ON,K,\"\"\r\n"), std::string::npos);
    text.replace(text.find("chpt1=ON,K"), 10, "chpt1=OFF,T");
    text.replace(text.find("system-no=5"), 11, "system-no=9");
    text.replace(text.find("temp-unit=0"), 11, "temp-unit=1");
    testing_support::WriteFile(path, text);

    Trigger(Ids::kImportSetup);
    EXPECT_EQ(prompt.Told().back(), "Finished reading data from the file.");
    EXPECT_FALSE(dialog->ParameterSet().polling.InUse(1));
    EXPECT_EQ(dialog->ParameterSet().thermocoupleType[1], 2);
    EXPECT_EQ(dialog->ParameterSet().systemNumber, 5u);
    EXPECT_TRUE(Information().ends_with("System No.: 5")) << Information();
    EXPECT_EQ(Control<QLabel>(Ids::kUnitLabel)->text(), "[deg F]");
    EXPECT_EQ(Store().ChannelsInUse(), (std::vector<int32_t>{2, 3, 4, 5, 6, 7, 8, 9, 10}));
}

TEST_F(MainDlgSetupTest, DeletionOfLoadedDataMakesTheDiscardQuestionAsk) {
    CMeasurementDataManager written;
    TMeasurementSetup setup;
    setup.pollingSetting.SetRateCode(4);
    setup.pollingSetting.SetInUse(1, true);
    written.Start(setup);
    for (uint32_t i = 0; i < 20; ++i) CMeasurementDataManager::SetReading(written.Channel(1), i, 100);
    written.SetRecordCount(20);
    written.Stop();
    const std::string path = testing_support::TestHome() + "/d.csv";
    ASSERT_TRUE(VEK::SaveDataFile(path, written, {}));
    prompt.onChooseFile = [path](const IOperatorPrompt::TFileRequest&) { return std::optional(path); };
    Trigger(Ids::kLoadData);
    ASSERT_EQ(RunState(), CMeasurementDataManager::kStateHolding);
    ASSERT_EQ(Store().RecordCount(), 20u);

    // The graph's cursor on record 5.
    CGraph& graph = dialog->Graph().Graph();
    Click(1010);
    ASSERT_TRUE(graph.PlaceCursor(5));
    ASSERT_EQ(graph.CursorRecord(), 5u);
    ASSERT_TRUE(dialog->Controls().Action(Ids::kDeleteAfter)->isEnabled());
    prompt.onAsk = [](const IOperatorPrompt::TQuestion&) { return true; };
    Trigger(Ids::kDeleteAfter);
    EXPECT_EQ(Store().RecordCount(), 6u);
    EXPECT_FALSE(dialog->Controls().Action(Ids::kDeleteAfter)->isEnabled());  // the cursor went off
    EXPECT_NE(Information().find("d.csv*"), std::string::npos) << Information();

    prompt.boxes.clear();
    prompt.onAsk = [](const IOperatorPrompt::TQuestion&) { return false; };
    Trigger(Ids::kLoadData);
    EXPECT_EQ(prompt.Asked(), std::vector<std::string>{"The measurement data are discarded. Is it ok?"});
    EXPECT_EQ(Store().RecordCount(), 6u);
}

}  // namespace

// The start-up gate opens the setup dialog until a system number is set; Cancel asks to quit.
TEST(MainDlgSetupGateTest, SetupDialogUntilASystemNumberIsSet) {
    EnsureTestApplication();
    testing_support::ResetTestHome();
    CMainDlgFixture::WriteSettings("[user]\r\n");
    CScriptedOperatorPrompt prompt;
    int shown = 0;
    const auto answer = CMainDlgFixture::SystemNumberAnswer(11);
    prompt.onRun = [&](QDialog& opened) {
        EXPECT_NE(qobject_cast<CSetupDlg*>(&opened), nullptr);
        return ++shown == 1 ? static_cast<int>(QDialog::Rejected) : answer(opened);
    };
    CMainDlg dialog(&prompt);
    dialog.Controller().SetTransport(CSimulatedDongle::Transport());
    ASSERT_TRUE(dialog.InitDialog());  // the quit question cancelled: the dialog again
    EXPECT_EQ(shown, 2);
    EXPECT_EQ(prompt.Asked(), std::vector<std::string>{"Are you sure to quit the application?"});
    EXPECT_EQ(dialog.ParameterSet().systemNumber, 11u);
    dialog.OnDestroy();
}
