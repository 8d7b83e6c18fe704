// Runs that were never saved, offered back at start-up and from File > Recover Unsaved Runs…, with
// every box answered by script.
#include <gtest/gtest.h>
#include <sys/time.h>

#include <QAbstractButton>
#include <QDir>
#include <QPushButton>
#include <QTableWidget>

#include "app/MainDlg.h"
#include "controller/LoopbackTestHelpers.h"
#include "dialogs/ScriptedOperatorPrompt.h"
#include "dialogs/UnsavedRunsDlg.h"
#include "display/TestApplication.h"
#include "files/Settings.h"
#include "platform/FileLock.h"
#include "support/TestHome.h"

namespace {

using EBox = CScriptedOperatorPrompt::TBox::EKind;
using Ids = CMainDlgControls;
using testing_support::FileExists;
using testing_support::ReadFile;
using testing_support::WriteFile;

constexpr size_t kOpen = 0;
constexpr size_t kKeep = 1;
constexpr size_t kDelete = 2;

// A working file at 1 s with channels 1 and 2 and `rows` rows of 20.0 and 21.0.
std::string WorkingFileText(int rows) {
    std::string text =
        "Brisquent-Working,1.01\r\nSYSTEM NUMBER,5\r\nSAMPLING RATE,1sec\r\nTEMPERATURE UNIT,deg C\r\n"
        "TIME/DIV,5sec\r\nTEMP/DIV,5deg C\r\nDATA COUNT,0\r\nTIME OFFSET,00:00:00,00\r\nTEMP OFFSET,25\r\n"
        ",,TYPE,K,K\r\n,,ON/OFF,ON,ON\r\n,,ADJUST OFFSET,,\r\nNo.,DATE  TIME,msec,CH1,CH2\r\nUSER "
        "COMMENT,,,,\r\n";
    for (int i = 0; i < rows; ++i)
        text += std::to_string(i + 1) + ",2026/01/02 03:04:" + (i < 10 ? "0" : "") + std::to_string(i) +
                ",0,20.0,21.0\r\n";
    return text;
}

class UnsavedRunOfferTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { EnsureTestApplication(); }
    void SetUp() override {
        testing_support::ResetTestHome();
        const std::string setup = testing_support::TestHome() + "/Documents/Quillmark/Brisquent/Setup";
        WriteFile(setup + "/lastone.ini",
                  "[user]\r\nsystem-no=5\r\nsample-intvl=1sec\r\nchpt1=ON,K,\"\"\r\n");
        WriteFile(setup + "/define.ini", "[parameter]\r\n");
    }
    void TearDown() override {
        if (dialog)
            dialog->OnDestroy();
    }
    // A working file left by a run that ended ten minutes ago.
    static std::string LeaveRun(const std::string& startTime, const std::string& text) {
        const std::string path = VEK::WorkFolder() + "/" + startTime + ".csv";
        WriteFile(path, text);
        timeval old{};
        gettimeofday(&old, nullptr);
        old.tv_sec -= 600;
        const timeval times[2] = {old, old};
        EXPECT_EQ(utimes(path.c_str(), times), 0);
        return path;
    }
    // The window up, and the start-up offer answered by choices (in order; unscripted ones Keep).
    void StartWindow(std::vector<size_t> choices) {
        prompt.onChoose = [choices, next = size_t{0}](const IOperatorPrompt::TChoice&) mutable {
            return next < choices.size() ? choices[next++] : kKeep;
        };
        dialog = std::make_unique<CMainDlg>(&prompt);
        ASSERT_TRUE(dialog->InitDialog());
        dialog->resize(861, 600);
        dialog->show();
        // The offer is a call queued by InitDialog: over once the posted events have been processed.
        QCoreApplication::processEvents();
        QCoreApplication::processEvents();
    }
    std::vector<std::string> Boxes(EBox kind) const {
        std::vector<std::string> texts;
        for (const auto& box : prompt.boxes)
            if (box.kind == kind)
                texts.push_back(box.text);
        return texts;
    }
    CMeasurementDataManager& Store() const { return dialog->Controller().Store(); }
    void Trigger(int command) { dialog->Controls().Action(command)->trigger(); }

    CScriptedOperatorPrompt prompt;
    std::unique_ptr<CMainDlg> dialog;
};

}  // namespace

TEST_F(UnsavedRunOfferTest, KeepOpenAndDeleteAtStartUpNewestFirst) {
    const std::string newest = LeaveRun("20260103000000", WorkingFileText(2));
    const std::string middle = LeaveRun("20260102000000", WorkingFileText(3));
    const std::string oldest = LeaveRun("20260101000000", WorkingFileText(5));
    prompt.onAsk = [](const IOperatorPrompt::TQuestion&) { return true; };
    StartWindow({kKeep, kDelete, kOpen});

    EXPECT_EQ(Boxes(EBox::kChoice),
              (std::vector<std::string>{"A measurement started on 2026-01-03 00:00:00 was not saved (2 "
                                        "records, 2 channels). Open it now?",
                                        "A measurement started on 2026-01-02 00:00:00 was not saved (3 "
                                        "records, 2 channels). Open it now?",
                                        "A measurement started on 2026-01-01 00:00:00 was not saved (5 "
                                        "records, 2 channels). Open it now?"}));
    // Delete asked once more.
    ASSERT_EQ(Boxes(EBox::kAsk).size(), 1u);
    EXPECT_TRUE(FileExists(newest));
    EXPECT_FALSE(FileExists(middle));
    EXPECT_TRUE(FileExists(oldest));

    // Opened as finished data saved nowhere; its file stays until they are saved.
    EXPECT_EQ(Store().State(), CMeasurementDataManager::kStateHolding);
    EXPECT_EQ(Store().RecordCount(), 5u);
    EXPECT_EQ(CMeasurementDataManager::GetReading(Store().Channel(2), 4), 210);
    EXPECT_TRUE(Store().IsModified());
    // Held by this process now: never offered to another.
    EXPECT_TRUE(VEK::CFileLock::IsLockedElsewhere(oldest));

    const std::string out = testing_support::TestHome() + "/recovered.csv";
    prompt.onChooseFile = [out](const IOperatorPrompt::TFileRequest& request) {
        EXPECT_EQ(request.proposedName, "20260102030400.csv");  // the run's first record
        return std::optional<std::string>(out);
    };
    Trigger(Ids::kSaveData);
    EXPECT_EQ(ReadFile(out).substr(0, 16), "Brisquent,1.01\r\n");
    EXPECT_FALSE(FileExists(oldest));
    EXPECT_TRUE(FileExists(newest));
    EXPECT_FALSE(Store().IsModified());
}

TEST_F(UnsavedRunOfferTest, KeptFilesAreOfferedAgainAndUnsavedDataAskBeforeTheyGo) {
    const std::string path = LeaveRun("20260101000000", WorkingFileText(4));
    StartWindow({kOpen});
    ASSERT_EQ(Store().RecordCount(), 4u);
    dialog->OnDestroy();
    dialog.reset();
    // An exit without a save keeps the file, which comes back at the next start.
    ASSERT_TRUE(FileExists(path));
    prompt.boxes.clear();
    StartWindow({kOpen});
    ASSERT_EQ(Boxes(EBox::kChoice).size(), 1u);
    ASSERT_EQ(Store().RecordCount(), 4u);

    // The discard check asks before the recovered data go; Cancel keeps them.
    prompt.boxes.clear();
    prompt.onAsk = [](const IOperatorPrompt::TQuestion&) { return false; };
    Trigger(Ids::kLoadData);
    EXPECT_EQ(Boxes(EBox::kAsk), std::vector<std::string>{"The measurement data are discarded. Is it ok?"});
    EXPECT_EQ(Store().RecordCount(), 4u);
}

TEST_F(UnsavedRunOfferTest, AFileThatFailsToLoadIsNamedAndKept) {
    const std::string damaged = LeaveRun("20260102000000", "Brisquent-Work\r\n1,2,3\r\n");
    const std::string whole = LeaveRun("20260101000000", WorkingFileText(2));
    StartWindow({kOpen, kOpen});
    const std::vector<std::string> told = Boxes(EBox::kTell);
    ASSERT_EQ(told.size(), 1u);
    EXPECT_NE(told[0].find(damaged), std::string::npos) << told[0];
    EXPECT_TRUE(FileExists(damaged));
    // The next one is still offered and opens.
    EXPECT_EQ(Boxes(EBox::kChoice).size(), 2u);
    EXPECT_EQ(Store().RecordCount(), 2u);
    EXPECT_TRUE(FileExists(whole));
}

TEST_F(UnsavedRunOfferTest, TheListOpensAndDeletesAtAnyTime) {
    const std::string first = LeaveRun("20260101000000", WorkingFileText(2));
    const std::string second = LeaveRun("20260102000000", WorkingFileText(3));
    StartWindow({kKeep, kKeep});
    ASSERT_EQ(Store().State(), CMeasurementDataManager::kStateEmpty);

    prompt.onAsk = [](const IOperatorPrompt::TQuestion&) { return true; };
    prompt.onRun = [&](QDialog& shown) {
        auto* list = qobject_cast<CUnsavedRunsDlg*>(&shown);
        if (list == nullptr)
            return static_cast<int>(QDialog::Rejected);
        auto* table = list->findChild<QTableWidget*>();
        EXPECT_EQ(table->rowCount(), 2);
        EXPECT_EQ(table->item(0, 0)->text(), "2026-01-02 00:00:00");
        EXPECT_EQ(table->item(0, 1)->text(), "3");
        EXPECT_EQ(table->item(0, 2)->text(), "2");
        list->resize(520, 260);
        list->show();
        QDir().mkpath(HOLLOWMERE_SCREENS_DIR);
        EXPECT_TRUE(list->grab().save(HOLLOWMERE_SCREENS_DIR "/unsaved_runs_dlg.png"));
        const auto button = [list](const char* text) {
            for (QPushButton* b : list->findChildren<QPushButton*>())
                if (b->text() == text)
                    return b;
            return static_cast<QPushButton*>(nullptr);
        };
        button("Delete")->click();  // the newest, selected first
        EXPECT_EQ(table->rowCount(), 1);
        button("Open")->click();
        return list->result();
    };
    Trigger(Ids::kRecoverUnsavedRuns);
    EXPECT_FALSE(FileExists(second));
    EXPECT_TRUE(FileExists(first));
    EXPECT_EQ(Store().State(), CMeasurementDataManager::kStateHolding);
    EXPECT_EQ(Store().RecordCount(), 2u);
}
