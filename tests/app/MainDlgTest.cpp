// The main window's commands against the simulated dongle, boxes and dialogs answered by script.
#include <QComboBox>
#include <QFontMetrics>
#include <QLabel>
#include <QMenu>
#include <QSignalSpy>
#include <QTest>

#include "MainDlgFixture.h"
#include "app/StatusLook.h"
#include "display/IconManager.h"
#include "display/MyIconButton.h"
#include "display/MyTextStatic.h"
#include "display/ScrollBarEx.h"
#include "files/DataFile.h"
#include "protocol/CommandCode.h"

namespace {

using namespace QNL::Code;
using EBox = CScriptedOperatorPrompt::TBox::EKind;
using Ids = CMainDlgControls;

using MainDlgTest = CMainDlgFixture;

// The same picture as the icon of that number.
bool SameIcon(const QIcon& icon, int number) {
    return icon.pixmap(32, 32).toImage() == VEK::CIconManager().Icon(number).pixmap(32, 32).toImage();
}

TEST_F(MainDlgTest, StartMeasuresUntilTheStopTimeSavesAndTheFileLoadsBack) {
    const std::string path = DataPath("run.csv");
    AnswerStartDialog(QDateTime::currentDateTime().addSecs(4), path);
    Click(Ids::kStartStop);
    ASSERT_EQ(RunState(), CMeasurementDataManager::kStateMeasuring);
    EXPECT_EQ(Control<QAbstractButton>(Ids::kStartStop)->text(), "Stop");
    EXPECT_EQ(Control<QAbstractButton>(Ids::kStartStop)->toolTip(), "Stop (F5)");
    EXPECT_TRUE(SameIcon(Control<CMyIconButton>(Ids::kStartStop)->Icon(), 159));
    ASSERT_TRUE(Pump([&] { return Store().RecordCount() >= 1; }, 10000));
    QLabel* status = Control<QLabel>(Ids::kStatus);
    EXPECT_TRUE(status->text().startsWith("Measuring"));
    EXPECT_EQ(dialog->StatusLine().Colors(), TStatusLook::kMeasuring);
    EXPECT_EQ(status->palette().color(QPalette::Window), QColor(73, 193, 44));
    EXPECT_TRUE(Control<QLabel>(Ids::kInformation)->text().contains("File: not saved"));
    Screenshot("main-measuring.png");

    ASSERT_TRUE(Pump([&] { return RunState() == CMeasurementDataManager::kStateHolding; }, 10000));
    EXPECT_TRUE(prompt.Told().empty());
    EXPECT_EQ(status->text(), "Ready");
    EXPECT_EQ(Control<QAbstractButton>(Ids::kStartStop)->text(), "Start");
    EXPECT_TRUE(SameIcon(Control<CMyIconButton>(Ids::kStartStop)->Icon(), 158));
    const uint32_t records = Store().RecordCount();
    ASSERT_GE(records, 1u);
    std::vector<std::vector<int16_t>> readings;
    for (int channel = 1; channel <= 3; ++channel) {
        readings.emplace_back();
        for (uint32_t i = 0; i < records; ++i)
            readings.back().push_back(CMeasurementDataManager::GetReading(Store().Channel(channel), i));
    }
    EXPECT_NE(readings[0][0], kReadingLost);

    prompt.onChooseFile = [path](const IOperatorPrompt::TFileRequest& request) {
        EXPECT_FALSE(request.save);
        return std::optional<std::string>(path);
    };
    Trigger(Ids::kLoadData);
    EXPECT_EQ(prompt.Told(), std::vector<std::string>{"Finished reading data from the file."});
    ASSERT_EQ(Store().RecordCount(), records);
    for (int channel = 1; channel <= 3; ++channel)
        for (uint32_t i = 0; i < records; ++i)
            EXPECT_EQ(CMeasurementDataManager::GetReading(Store().Channel(channel), i),
                      readings[channel - 1][i]);
    EXPECT_TRUE(Control<QLabel>(Ids::kInformation)->text().contains("File: run.csv   /"));
}

TEST_F(MainDlgTest, DiscardQuestionFollowsTheStore) {
    // Each row: how the data came to be, then whether Start asks first, for both answers.
    MeasureAndStop();
    const std::string path = DataPath("kept.csv");
    struct TRow {
        const char* name;
        std::function<void()> prepare;
        bool asks;
    };
    const TRow rows[] = {
        {"finished, never saved", [] {}, true},
        {"saved",
         [&] {
             prompt.onChooseFile = [path](const IOperatorPrompt::TFileRequest&) {
                 return std::optional<std::string>(path);
             };
             Trigger(Ids::kSaveData);
             EXPECT_EQ(prompt.Told(), std::vector<std::string>{"Finished saving data to the file."});
         },
         false},
        {"loaded", [&] { Trigger(Ids::kLoadData); }, false},
        {"loaded, then changed", [&] { Store().SetModified(true); }, true},
        {"cleared",
         [&] {
             prompt.onAsk = [](const IOperatorPrompt::TQuestion&) { return true; };
             Trigger(Ids::kClearAllData);
         },
         false},
    };
    for (const TRow& row : rows) {
        prompt.boxes.clear();
        row.prepare();
        for (bool answer : {false, true}) {
            prompt.boxes.clear();
            prompt.onAsk = [answer](const IOperatorPrompt::TQuestion&) { return answer; };
            prompt.onRun = [](QDialog&) { return static_cast<int>(QDialog::Rejected); };
            Click(Ids::kStartStop);
            const std::vector<std::string> asked = prompt.Asked();
            EXPECT_EQ(asked.size(), row.asks ? 1u : 0u) << row.name;
            if (row.asks) {
                EXPECT_EQ(asked[0], "The measurement data are discarded. Is it ok?") << row.name;
            }
            // The start dialog comes unless the question was cancelled.
            const bool started = !row.asks || answer;
            EXPECT_EQ(prompt.Texts(EBox::kDialog),
                      started ? std::vector<std::string>{"144"} : std::vector<std::string>{})
                << row.name << " " << answer;
        }
    }
}

TEST_F(MainDlgTest, StopConfirmedAfterTheRunEndedDoesNothing) {
    const std::string path = DataPath("stopped.csv");
    AnswerStartDialog(QDateTime::currentDateTime().addSecs(2), path);
    Click(Ids::kStartStop);
    ASSERT_EQ(RunState(), CMeasurementDataManager::kStateMeasuring);
    uint32_t records = 0;
    prompt.onAsk = [&](const IOperatorPrompt::TQuestion& question) {
        EXPECT_EQ(question.caption, "Stop measurement");
        EXPECT_TRUE(question.cancelPreselected);
        // The stop time passes while the question is open.
        EXPECT_TRUE(Pump([&] { return RunState() == CMeasurementDataManager::kStateHolding; }, 10000));
        records = Store().RecordCount();
        std::filesystem::remove(path);
        return true;
    };
    Click(Ids::kStartStop);
    EXPECT_EQ(prompt.Asked(), std::vector<std::string>{"Are you sure to stop measurement?"});
    EXPECT_EQ(Store().RecordCount(), records);
    // Not finished and saved a second time.
    EXPECT_FALSE(std::filesystem::exists(path));
    EXPECT_TRUE(prompt.Told().empty());
}

TEST_F(MainDlgTest, CommandsFollowTheRunState) {
    const int menus[] = {Ids::kFileMenu, Ids::kEditMenu, Ids::kSetupMenu, Ids::kExit};
    auto expectMenus = [&](bool enabled, const char* when) {
        for (int id : menus) EXPECT_EQ(Control(id)->isEnabled(), enabled) << id << " " << when;
        EXPECT_TRUE(Control(Ids::kViewMenu)->isEnabled()) << when;
        EXPECT_EQ(dialog->Controls().Action(Ids::kSaveData)->isEnabled(),
                  RunState() == CMeasurementDataManager::kStateHolding)
            << when;
    };
    EXPECT_TRUE(Control(Ids::kStartStop)->isEnabled());
    expectMenus(true, "idle");

    AnswerStartDialog(std::nullopt, "");
    Click(Ids::kStartStop);
    ASSERT_EQ(RunState(), CMeasurementDataManager::kStateMeasuring);
    expectMenus(false, "measuring");
    // The title bar's Close is ignored, Enter does nothing; Escape still asks.
    dialog->close();
    QTest::keyClick(dialog.get(), Qt::Key_Return);
    EXPECT_TRUE(prompt.Asked().empty());
    EXPECT_EQ(RunState(), CMeasurementDataManager::kStateMeasuring);
    QTest::keyClick(dialog.get(), Qt::Key_Escape);
    EXPECT_EQ(prompt.Asked(), std::vector<std::string>{"Are you sure to quit the application?"});
    EXPECT_EQ(RunState(), CMeasurementDataManager::kStateMeasuring);

    prompt.onAsk = [](const IOperatorPrompt::TQuestion&) { return true; };
    Click(Ids::kStartStop);
    expectMenus(true, "finished");
    EXPECT_FALSE(dialog->Controls().Action(Ids::kDeleteBefore)->isEnabled());
}

TEST_F(MainDlgTest, SaveDataNamesTheFileAndTellsHowItWent) {
    MeasureAndStop();
    const std::string workingFile = dialog->Controller().WorkingFilePath();
    ASSERT_TRUE(std::filesystem::exists(workingFile));
    std::string proposed;
    prompt.onChooseFile = [&](const IOperatorPrompt::TFileRequest& request) {
        proposed = request.proposedName;
        EXPECT_TRUE(request.save);
        EXPECT_EQ(request.filter, "DATA File (*.csv)|*.csv|All Files (*.*)|*.*||");
        return std::optional<std::string>(DataPath("no-such-folder/x.csv"));
    };
    Trigger(Ids::kSaveData);
    EXPECT_EQ(proposed, Store().StartTime().Format("%Y%m%d%H%M%S.csv"));
    // The fixed text, then the file and the system's reason; the data stay, and Save is offered again.
    EXPECT_EQ(prompt.Told(),
              std::vector<std::string>{"Failed to save data to the file.\n" +
                                       DataPath("no-such-folder/x.csv") + ": No such file or directory"});
    EXPECT_EQ(prompt.boxes.back().icon, IOperatorPrompt::EIcon::kError);
    EXPECT_TRUE(dialog->Controls().Action(Ids::kSaveData)->isEnabled());
    EXPECT_TRUE(std::filesystem::exists(workingFile));

    prompt.boxes.clear();
    prompt.onChooseFile = [&](const IOperatorPrompt::TFileRequest&) {
        return std::optional<std::string>(DataPath("saved.csv"));
    };
    Trigger(Ids::kSaveData);
    EXPECT_EQ(prompt.Told(), std::vector<std::string>{"Finished saving data to the file."});
    EXPECT_TRUE(Control<QLabel>(Ids::kInformation)->text().contains("File: saved.csv   /"));
    EXPECT_FALSE(std::filesystem::exists(workingFile));
    // The next proposal is the data's own name.
    prompt.onChooseFile = [&](const IOperatorPrompt::TFileRequest& request) {
        proposed = request.proposedName;
        return std::optional<std::string>();
    };
    Trigger(Ids::kSaveData);
    EXPECT_EQ(proposed, "saved.csv");
}

TEST_F(MainDlgTest, NewSystemNumberStopsTheDongleAndConfiguresItAgain) {
    prompt.onRun = CMainDlgFixture::SystemNumberAnswer(7);
    const size_t before = Received().size();
    Trigger(Ids::kSetup);
    EXPECT_EQ(dialog->ParameterSet().systemNumber, 7u);
    EXPECT_TRUE(Control<QLabel>(Ids::kInformation)->text().endsWith("System No.: 7"));
    ASSERT_TRUE(Pump([&] { return ReceivedFrame({0x02, 0x04, kModeSetting, 0x02, 0x07}); }, 15000));
    const std::vector<TFrame> frames = Received();
    std::vector<std::string> sequence;
    for (size_t i = before; i < frames.size(); ++i) {
        const TFrame& frame = frames[i];
        if (frame[2] == kPollingSetting && frame[3] == 0)
            sequence.push_back("polling off");
        else if (frame[2] == kModeSetting)
            sequence.push_back("mode " + std::to_string(frame[3]) + " system " + std::to_string(frame[4]));
    }
    // Polling off, standby (the number is adopted first), then the connect sequence's receive mode.
    ASSERT_GE(sequence.size(), 3u);
    EXPECT_EQ(sequence[0], "polling off");
    EXPECT_EQ(sequence[1], "mode 0 system 7");
    EXPECT_NE(std::find(sequence.begin() + 2, sequence.end(), "mode 2 system 7"), sequence.end());
}

TEST_F(MainDlgTest, ShiftClickShowsTheCounterpartWindowWithTheTcpPort) {
    QWidget* counterpart = dialog->CounterpartWindow();
    ASSERT_NE(counterpart, nullptr);
    EXPECT_FALSE(counterpart->isVisible());  // made hidden at the start
    EXPECT_EQ(counterpart->parentWidget(), nullptr);
    QMenu* view = dialog->Controls().MenuOf(Ids::kViewMenu);
    QTest::mouseClick(Control(Ids::kViewMenu), Qt::LeftButton, Qt::ShiftModifier);
    EXPECT_TRUE(counterpart->isVisible());
    EXPECT_FALSE(view->isVisible());
    EXPECT_EQ(counterpart->windowTitle(), "対向");
    QTest::mouseClick(Control(Ids::kViewMenu), Qt::LeftButton);
    EXPECT_TRUE(view->isVisible());
    EXPECT_TRUE(dialog->Controls().Action(Ids::kGraphDisplay)->isChecked());
    view->close();
}

TEST_F(MainDlgTest, DisplayModeShowsTheGraphOrTheLists) {
    auto shown = [&](int id) { return Control(id)->isVisibleTo(dialog.get()); };
    EXPECT_TRUE(shown(Ids::kGraphArea));
    EXPECT_TRUE(shown(1014));
    EXPECT_FALSE(shown(1038));
    EXPECT_FALSE(shown(Ids::kListCount));
    for (int hidden : {1019, 1030, 1031, 1056}) EXPECT_FALSE(shown(hidden)) << hidden;

    Trigger(Ids::kGraphDisplay);
    EXPECT_FALSE(dialog->Controls().Action(Ids::kGraphDisplay)->isChecked());
    EXPECT_FALSE(shown(Ids::kGraphArea));
    EXPECT_FALSE(shown(1001));
    EXPECT_FALSE(shown(1023));
    EXPECT_FALSE(shown(1014));
    EXPECT_TRUE(shown(Ids::kListCount));
    // "list-div" 2 by default: four lists.
    for (int list : CMainDlgControls::kLists) EXPECT_TRUE(shown(list)) << list;
    QComboBox* count = Control<QComboBox>(Ids::kListCount);
    count->setCurrentIndex(0);
    emit count->activated(0);
    EXPECT_TRUE(shown(1038));
    EXPECT_TRUE(shown(1039));
    EXPECT_FALSE(shown(1020));
    EXPECT_FALSE(shown(1033));
    EXPECT_EQ(dialog->Paging().Page(), 0);
    EXPECT_NE(testing_support::ReadFile(SetupFolder() + "/lastone.ini").find("list-div=0\r\n"),
              std::string::npos);
    // Channels 1 to 3: one page.
    EXPECT_FALSE(Control(Ids::kPageForward)->isEnabled());
    EXPECT_FALSE(Control(Ids::kPageBack)->isEnabled());
    Screenshot("main-lists.png");
}

}  // namespace

namespace {

TEST(MainDlgStartupTest, SystemNumberSetAtTheGateShowsAtOnce) {
    EnsureTestApplication();
    testing_support::ResetTestHome();
    CMainDlgFixture::WriteSettings("[user]\r\n");
    CScriptedOperatorPrompt prompt;
    prompt.onRun = CMainDlgFixture::SystemNumberAnswer(9);
    CMainDlg dialog(&prompt);
    dialog.Controller().SetTransport(CSimulatedDongle::Transport());
    ASSERT_TRUE(dialog.InitDialog());
    EXPECT_EQ(prompt.Texts(CScriptedOperatorPrompt::TBox::EKind::kDialog).size(), 1u);
    EXPECT_TRUE(dialog.findChild<QLabel*>("1021")->text().endsWith("System No.: 9"));
    dialog.OnDestroy();
}

// The broker define.ini names: its state on the information line, refused settings told once.
TEST(MainDlgStartupTest, PublishingToTheBrokerOfDefineIni) {
    EnsureTestApplication();
    struct TCase {
        std::string url;
        bool publishing;
    };
    const uint16_t nobody = testing_support::FreeLoopbackPort();
    const TCase cases[] = {{"mqtt://127.0.0.1:" + std::to_string(nobody), true}, {"ftp://127.0.0.1", false}};
    for (const TCase& c : cases) {
        testing_support::ResetTestHome();
        CMainDlgFixture::WriteSettings("[user]\r\nsystem-no=5\r\n");
        testing_support::WriteFile(CMainDlgFixture::SetupFolder() + "/define.ini",
                                   "[parameter]\r\nmqtt-url=" + c.url + "\r\n");
        CScriptedOperatorPrompt prompt;
        CMainDlg dialog(&prompt);
        dialog.Controller().SetTransport(CSimulatedDongle::Transport());
        ASSERT_TRUE(dialog.InitDialog());
        EXPECT_EQ(dialog.Controller().IsPublishing(), c.publishing) << c.url;
        const std::vector<std::string> told = prompt.Texts(CScriptedOperatorPrompt::TBox::EKind::kTell);
        if (c.publishing) {
            EXPECT_TRUE(told.empty());
            QLabel* information = dialog.findChild<QLabel*>("1021");
            EXPECT_TRUE(Pump([&] { return information->text().endsWith(")"); }, 10000))
                << information->text().toStdString();
            EXPECT_TRUE(information->text().contains("System No.: 5   / MQTT unreachable ("))
                << information->text().toStdString();
        } else {
            ASSERT_EQ(told.size(), 1u);
            EXPECT_EQ(told[0].rfind("Readings are not published to the MQTT broker: ", 0), 0u) << told[0];
            EXPECT_FALSE(dialog.findChild<QLabel*>("1021")->text().contains("MQTT"));
        }
        dialog.OnDestroy();
    }
}

}  // namespace

// The buttons are icon buttons with their icons and tooltips at their natural size; the read-outs
// are text statics in their looks; the graph's bars apply their own requests.
TEST_F(MainDlgTest, TheWindowsControlsAreTheCustomDrawnOnes) {
    using VEK::CTextDrawer;
    const std::tuple<int, int, const char*> buttons[] = {
        {Ids::kStartStop, 158, "Start (F5)"},
        {Ids::kFileMenu, 157, "File"},
        {Ids::kEditMenu, 160, "Edit"},
        {Ids::kViewMenu, 161, "View"},
        {Ids::kSetupMenu, 156, "Setup"},
        {Ids::kExit, 162, "Exit (Ctrl+Q)"},
        {1001, 130, nullptr},
        {1002, 131, nullptr},
        {1005, 132, nullptr},
        {1006, 133, nullptr},
        {1007, 165, nullptr},
        {1008, 163, nullptr},
        {1010, 166, nullptr},
        {1009, 164, nullptr},
        {Ids::kPageBack, 135, nullptr},
        {Ids::kPageForward, 134, nullptr},
    };
    for (const auto& [id, icon, tip] : buttons) {
        auto* button = Control<CMyIconButton>(id);
        ASSERT_NE(button, nullptr) << id;
        EXPECT_TRUE(SameIcon(button->Icon(), icon)) << id;
        if (tip != nullptr) {
            EXPECT_EQ(button->toolTip(), tip) << id;
        }
        EXPECT_FALSE(button->toolTip().isEmpty()) << id;
        const QSize natural = button->sizeHint();
        EXPECT_GT(natural.width(), 32) << id;
        EXPECT_GT(natural.height(), 32) << id;
        EXPECT_LE(natural.width(), 56) << id;
    }
    const uint32_t centred = CTextDrawer::kCentre | CTextDrawer::kVCentre;
    const std::pair<int, uint32_t> readouts[] = {
        {Ids::kInformation, CTextDrawer::kLeft | CTextDrawer::kVCentre},
        {1011, centred},
        {1013, centred},
        {1012, centred},
        {Ids::kUnitLabel, CTextDrawer::kRight},
        {1025, CTextDrawer::kRight},
        {1026, CTextDrawer::kRight | CTextDrawer::kVCentre},
        {1029, CTextDrawer::kRight | CTextDrawer::kBottom},
        {Ids::kElapsedReadout, CTextDrawer::kRight | CTextDrawer::kVCentre},
        {Ids::kStatus, centred},
    };
    for (const auto& [id, format] : readouts) {
        auto* readout = Control<CMyTextStatic>(id);
        ASSERT_NE(readout, nullptr) << id;
        EXPECT_EQ(readout->Format(), format) << id;
        if (id != Ids::kStatus) {
            EXPECT_EQ(readout->BackgroundColor(), CMyTextStatic::kDefaultBackgroundColor) << id;
        }
    }
    // The natural size holds the widest text a read-out shows, not only the current one.
    const QFontMetrics metrics(Control(Ids::kStatus)->font());
    EXPECT_GE(Control(Ids::kStatus)->sizeHint().width(),
              metrics.horizontalAdvance("Remaining Time: 999:59:59"));
    EXPECT_GE(Control(Ids::kStatus)->sizeHint().height(), 2 * metrics.height());
    EXPECT_NE(Control<VEK::MFC::CScrollBarEx>(1023), nullptr);
    EXPECT_NE(Control<VEK::MFC::CScrollBarEx>(1024), nullptr);
}

using MainDlgKeysTest = MainDlgTest;

// The keys a person expects reach the commands, as the tool tips and menus name them, and only
// while the command is available; Tab goes through the buttons in reading order.
TEST_F(MainDlgKeysTest, KeysReachTheCommandsTheirButtonsAndMenusName) {
    QApplication::setActiveWindow(dialog.get());
    ASSERT_TRUE(Pump([&] { return QApplication::activeWindow() == dialog.get(); }, 2000));
    const auto press = [&](const QKeySequence& key) {
        QTest::keySequence(dialog.get(), key);
        QCoreApplication::processEvents();
    };
    EXPECT_EQ(dialog->Controls().Action(Ids::kSaveData)->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_S));
    EXPECT_EQ(dialog->Controls().Action(Ids::kLoadData)->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_O));
    EXPECT_EQ(Control(Ids::kExit)->toolTip(), "Exit (Ctrl+Q)");

    // F5: the start dialog; Ctrl+O: the open dialog; Ctrl+,: the setup dialog.
    std::vector<std::string> opened;
    prompt.onRun = [&](QDialog& shown) {
        opened.push_back(shown.objectName().toStdString());
        return static_cast<int>(QDialog::Rejected);
    };
    press(QKeySequence(Qt::Key_F5));
    press(QKeySequence(Qt::CTRL | Qt::Key_Comma));
    EXPECT_EQ(opened, (std::vector<std::string>{"144", "138"}));
    press(QKeySequence(Qt::CTRL | Qt::Key_O));
    ASSERT_EQ(prompt.fileRequests.size(), 1u);
    EXPECT_FALSE(prompt.fileRequests[0].save);
    // Ctrl+S does nothing without finished data, as its greyed menu item.
    press(QKeySequence(Qt::CTRL | Qt::Key_S));
    EXPECT_EQ(prompt.fileRequests.size(), 1u);

    // The graph's scale keys, and Page Down on the time bar of a measurement.
    const int timeDiv = dialog->Graph().Graph().TimeAxis().timeDivIndex;
    MeasureAndStop();
    QApplication::setActiveWindow(dialog.get());
    press(QKeySequence(Qt::CTRL | Qt::Key_Left));
    EXPECT_EQ(dialog->Graph().Graph().TimeAxis().timeDivIndex, timeDiv - 1);
    press(QKeySequence(Qt::CTRL | Qt::Key_Right));
    EXPECT_EQ(dialog->Graph().Graph().TimeAxis().timeDivIndex, timeDiv);
    const int tempDiv = dialog->Graph().Graph().TemperatureAxis().tempDivIndex;
    press(QKeySequence(Qt::CTRL | Qt::Key_Down));
    EXPECT_EQ(dialog->Graph().Graph().TemperatureAxis().tempDivIndex, tempDiv - 1);
    QSignalSpy scrolled(Control<VEK::MFC::CScrollBarEx>(1023), &VEK::MFC::CScrollBarEx::scrolled);
    press(QKeySequence(Qt::Key_PageDown));
    EXPECT_EQ(scrolled.count(), 1);
    // Ctrl+S saves the finished data now.
    prompt.onChooseFile = [](const IOperatorPrompt::TFileRequest&) { return std::optional<std::string>(); };
    press(QKeySequence(Qt::CTRL | Qt::Key_S));
    ASSERT_EQ(prompt.fileRequests.size(), 2u);
    EXPECT_TRUE(prompt.fileRequests[1].save);

    // Ctrl+Q quits as Exit does, asking first about the unsaved data.
    prompt.onAsk = [](const IOperatorPrompt::TQuestion&) { return false; };
    const size_t asked = prompt.Asked().size();
    press(QKeySequence(Qt::CTRL | Qt::Key_Q));
    ASSERT_EQ(prompt.Asked().size(), asked + 1);
    EXPECT_EQ(prompt.Asked().back(), "The measurement data are discarded. Is it ok?");

    // Tab: the top bar left to right, then the graph's groups as they stand.
    std::vector<int> order;
    QWidget* widget = Control(Ids::kStartStop);
    for (int i = 0; i < 14; ++i, widget = widget->nextInFocusChain()) {
        while (!(widget->focusPolicy() & Qt::TabFocus) || !widget->isVisible())
            widget = widget->nextInFocusChain();
        order.push_back(widget->objectName().toInt());
    }
    EXPECT_EQ(order, (std::vector<int>{1016, 1003, 1042, 1043, 1018, 1045, 1005, 1007, 1006, 1001, 1002, 1008,
                                       1010, 1009}));
}
