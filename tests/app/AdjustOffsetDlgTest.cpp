// The Adjust Offset command with its dialog against the simulated dongle (units 1 and 2, reading
// 0.5 mV, at 1 s), clicked and answered by script.
#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpression>
#include <QTableWidget>
#include <QTest>
#include <QTimer>

#include "MainDlgFixture.h"
#include "dialogs/AdjustOffsetDlg.h"
#include "files/FolderMemory.h"
#include "files/OffsetFile.h"

namespace {

using Ids = CMainDlgControls;
using EKind = CScriptedOperatorPrompt::TBox::EKind;
constexpr int kUse = 0;
constexpr int kData = 1;
constexpr int kGet = 32797;
constexpr int kClear = 32798;

class AdjustOffsetDlgTest : public CMainDlgFixture {
protected:
    std::string LastOneSettings() const override {
        return "[user]\r\nsystem-no=5\r\nsample-intvl=1sec\r\nchpt1=ON,K,\"\"\r\nchpt2=ON,K,\"\"\r\n";
    }
    std::vector<std::string> SimulatorOptions() const override {
        return {"--units",  "1-2",     "--sensor",    "800",
                "--thermo", "0x10000", "--auto-info", "--auto-stop-notice"};
    }
    VEK::TOffsetTable& Table() { return dialog->Controller().OffsetTable(); }

    // Adjust Offset with the script run on the open dialog, which then closes.
    void Adjust(const std::function<void(CAdjustOffsetDlg&)>& script) {
        prompt.onRun = [script](QDialog& opened) {
            auto* adjust = qobject_cast<CAdjustOffsetDlg*>(&opened);
            if (adjust == nullptr)
                return static_cast<int>(QDialog::Rejected);
            adjust->show();
            script(*adjust);
            adjust->findChild<QAbstractButton*>("2")->click();
            return adjust->result();
        };
        Trigger(Ids::kAdjustOffset);
    }
    static QTableWidget* List(CAdjustOffsetDlg& adjust) { return adjust.findChild<QTableWidget*>("1039"); }
    static void ClickCell(CAdjustOffsetDlg& adjust, int row, int column) {
        QTableWidget* list = List(adjust);
        const QModelIndex cell = list->model()->index(row, column);
        list->scrollTo(cell);
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualRect(cell).center());
    }
    // A command of the menu that a click on the row's Data cell opens.
    static void Command(CAdjustOffsetDlg& adjust, int row, int command) {
        ClickCell(adjust, row, kData);
        QMenu* menu = adjust.findChild<QMenu*>("170");
        EXPECT_TRUE(menu->isVisible());
        menu->hide();
        menu->findChild<QAction*>(QString::number(command))->trigger();
    }
    static QString Text(CAdjustOffsetDlg& adjust, int row, int column) {
        return List(adjust)->item(row, column)->text();
    }
    static QColor Background(CAdjustOffsetDlg& adjust, int row, int column) {
        return List(adjust)->item(row, column)->background().color();
    }
    static QColor Foreground(CAdjustOffsetDlg& adjust, int row, int column) {
        return List(adjust)->item(row, column)->foreground().color();
    }
    static std::string FileField(CAdjustOffsetDlg& adjust) {
        return adjust.findChild<QLabel*>("1079")->text().toStdString();
    }
    void Screenshot(CAdjustOffsetDlg& adjust, const std::string& name) const {
        QDir().mkpath(HOLLOWMERE_SCREENS_DIR);
        QCoreApplication::sendPostedEvents();
        EXPECT_TRUE(
            adjust.grab().save(QString::fromStdString(std::string(HOLLOWMERE_SCREENS_DIR) + "/" + name)));
    }
};

const QColor kOrange(255, 165, 0);

TEST_F(AdjustOffsetDlgTest, GetOffsetDataFromTheUnitsThatAnswer) {
    Adjust([&](CAdjustOffsetDlg& adjust) {
        EXPECT_EQ(adjust.windowTitle(), "Adjust Offset");
        EXPECT_EQ(Text(adjust, 0, kUse), "NoUse");
        EXPECT_EQ(FileField(adjust), "not saved");
        ClickCell(adjust, 0, kUse);  // none in use: all are
        EXPECT_EQ(Text(adjust, 0, kUse), "Use");
        Command(adjust, 0, kGet);
        EXPECT_TRUE(adjust.isEnabled());
        for (int channel : {1, 2}) {
            EXPECT_EQ(Text(adjust, channel, kUse), "Use");
            EXPECT_EQ(Background(adjust, channel, kUse), kOrange);
            EXPECT_EQ(Text(adjust, channel, kData), "*");
            EXPECT_EQ(Foreground(adjust, channel, kData), QColor(Qt::black));
        }
        for (int channel : {3, 50, 100}) {
            EXPECT_EQ(Text(adjust, channel, kData), "E");
            EXPECT_EQ(Foreground(adjust, channel, kData), QColor(Qt::red));
            EXPECT_EQ(Background(adjust, channel, kUse), QColor(Qt::white));
        }
        ASSERT_EQ(prompt.boxes.size(), 2u);  // the dialog, then the message
        EXPECT_EQ(prompt.boxes[1].text, "Failed to get offset data");
        EXPECT_EQ(prompt.boxes[1].icon, IOperatorPrompt::EIcon::kError);
        Screenshot(adjust, "adjust-offset.png");

        // One channel that answers: no message.
        Table().entries[2].offset = 7;
        Command(adjust, 2, kGet);
        EXPECT_EQ(prompt.Told().size(), 1u);
        EXPECT_EQ(Text(adjust, 2, kData), "*");
        EXPECT_EQ(Table().entries[2].offset, 0x10000);
        EXPECT_EQ(Text(adjust, 3, kData), "E");
    });
    EXPECT_EQ(Table().entries[1].offset, 0x10000);
    EXPECT_TRUE(Table().entries[3].Unanswered());
    EXPECT_TRUE(Table().modified);
    // The short measurements stored nothing; the store now names the adjusted channels.
    EXPECT_EQ(RunState(), CMeasurementDataManager::kStateEmpty);
    EXPECT_EQ(Store().RecordCount(), 0u);
    EXPECT_EQ(Store().AdjustedChannels(), (std::vector<uint32_t>{1, 2}));
}

TEST_F(AdjustOffsetDlgTest, ClearAndUseClicks) {
    Table().entries[1] = {true, true, 5};
    Table().entries[2] = {false, true, 6};
    Adjust([&](CAdjustOffsetDlg& adjust) {
        EXPECT_EQ(Text(adjust, 0, kUse), QStringLiteral("\u2015"));
        EXPECT_EQ(Background(adjust, 1, kUse), kOrange);
        EXPECT_EQ(Text(adjust, 2, kUse), "NoUse");
        EXPECT_EQ(Background(adjust, 2, kUse), QColor(Qt::white));
        EXPECT_EQ(Text(adjust, 2, kData), "*");
        // Some in use: "ALL" turns every channel off, then on.
        ClickCell(adjust, 0, kUse);
        EXPECT_EQ(Text(adjust, 0, kUse), "NoUse");
        EXPECT_FALSE(Table().entries[1].inUse);
        ClickCell(adjust, 0, kUse);
        EXPECT_EQ(Text(adjust, 0, kUse), "Use");
        EXPECT_TRUE(Table().entries[100].inUse);
        ClickCell(adjust, 100, kUse);
        EXPECT_EQ(Text(adjust, 100, kUse), "NoUse");
        EXPECT_EQ(Text(adjust, 0, kUse), QStringLiteral("\u2015"));

        Command(adjust, 2, kClear);  // cancelled
        EXPECT_EQ(prompt.Asked(), std::vector<std::string>{"Are you sure to clear the offset data?"});
        EXPECT_EQ(Text(adjust, 2, kData), "*");
        prompt.onAsk = [](const IOperatorPrompt::TQuestion&) { return true; };
        Command(adjust, 2, kClear);
        EXPECT_EQ(Text(adjust, 2, kData), "");
        EXPECT_EQ(Text(adjust, 1, kData), "*");
        EXPECT_TRUE(Table().entries[2].inUse);  // use stays
        Command(adjust, 0, kClear);
        EXPECT_EQ(Text(adjust, 1, kData), "");
        EXPECT_EQ(Background(adjust, 1, kUse), QColor(Qt::white));
    });
    EXPECT_TRUE(Store().AdjustedChannels().empty());
}

TEST_F(AdjustOffsetDlgTest, SaveAndLoadWithTheFileField) {
    const std::string saved = DataPath("off.csv");
    const std::string other = DataPath("other.csv");
    VEK::TOffsetTable otherTable;
    otherTable.comment = "probe set 4, spare";
    otherTable.entries[9] = {true, true, -12345};
    ASSERT_TRUE(VEK::SaveOffsetFile(otherTable, other));
    testing_support::WriteFile(DataPath("bad.csv"), "brisquent offset data,1.00\r\n");
    std::vector<std::string> answers{saved, saved, DataPath("bad.csv"), other, DataPath("bad.csv/x.csv")};
    prompt.onChooseFile = [&](const IOperatorPrompt::TFileRequest&) {
        std::string answer = answers.front();
        answers.erase(answers.begin());
        return std::optional(answer);
    };
    Table().entries[1] = {true, true, 65536};
    Table().comment = "filled";
    Adjust([&](CAdjustOffsetDlg& adjust) {
        auto* comment = adjust.findChild<QLineEdit*>("1043");
        EXPECT_EQ(comment->text(), "filled");
        EXPECT_FALSE(Table().modified);  // filling the field is no edit
        adjust.findChild<QAbstractButton*>("3")->click();
        EXPECT_EQ(FileField(adjust), "off.csv");
        EXPECT_FALSE(Table().modified);
        QTest::keyClicks(comment, "!");
        EXPECT_EQ(FileField(adjust), "off.csv*");
        EXPECT_EQ(Table().comment, "filled!");
        adjust.findChild<QAbstractButton*>("3")->click();
        EXPECT_EQ(FileField(adjust), "off.csv");

        adjust.findChild<QAbstractButton*>("4")->click();  // bad file: the table stays
        EXPECT_EQ(prompt.Told().back(), "Failed to read data from the file.");
        EXPECT_EQ(Table().comment, "filled!");
        EXPECT_EQ(Text(adjust, 1, kData), "*");

        adjust.findChild<QAbstractButton*>("4")->click();
        EXPECT_EQ(prompt.Told().back(), "Finished reading data from the file.");
        EXPECT_EQ(prompt.boxes.back().icon, IOperatorPrompt::EIcon::kInformation);
        EXPECT_EQ(FileField(adjust), "other.csv");
        EXPECT_EQ(comment->text(), "probe set 4, spare");
        EXPECT_EQ(Text(adjust, 1, kData), "");
        EXPECT_EQ(Text(adjust, 9, kData), "*");

        adjust.findChild<QAbstractButton*>("3")->click();  // a folder that cannot be
        EXPECT_EQ(prompt.Told().back(), "Failed to save data to the file.");
        EXPECT_EQ(prompt.boxes.back().icon, IOperatorPrompt::EIcon::kError);
        EXPECT_EQ(FileField(adjust), "other.csv");
    });
    ASSERT_EQ(prompt.fileRequests.size(), 5u);
    EXPECT_TRUE(prompt.fileRequests[0].save);
    EXPECT_EQ(prompt.fileRequests[0].filter, "OFFSET File (*.csv)|*.csv|All Files (*.*)|*.*||");
    EXPECT_EQ(prompt.fileRequests[0].defaultExtension, "*.csv");
    // A table never saved: a name from the time, in the offset folder made for it.
    EXPECT_TRUE(QRegularExpression("^\\d{14}\\.csv$")
                    .match(QString::fromStdString(prompt.fileRequests[0].proposedName))
                    .hasMatch())
        << prompt.fileRequests[0].proposedName;
    EXPECT_EQ(prompt.fileRequests[0].startFolder,
              testing_support::TestHome() + "/Documents/Quillmark/Brisquent/adjustoffset");
    EXPECT_TRUE(std::filesystem::is_directory(prompt.fileRequests[0].startFolder));
    EXPECT_EQ(prompt.fileRequests[1].proposedName, "off.csv");  // without the "*"
    EXPECT_FALSE(prompt.fileRequests[2].save);
    EXPECT_EQ(prompt.fileRequests[3].startFolder, testing_support::TestHome());
    EXPECT_EQ(VEK::LoadLastFolder("adjustoffset"), testing_support::TestHome());
    VEK::TOffsetTable read;
    ASSERT_TRUE(VEK::LoadOffsetFile(read, saved));
    EXPECT_EQ(read.comment, "filled!");
    EXPECT_EQ(read.entries[1].offset, 65536);
    EXPECT_EQ(Store().AdjustedChannels(), std::vector<uint32_t>{9});
}

// A quit signal while the dialog waits for the units: the wait ends, polling goes off, the window
// closes and the receive path lets go of the capture.
TEST_F(AdjustOffsetDlgTest, QuitSignalEndsTheCapture) {
    bool captured = false;
    // The signal comes once unit 1 has answered, while the others are still awaited (units keep
    // to the sampling period: the first answer comes a period after polling begins).
    QTimer answered;
    answered.setInterval(10);
    prompt.onRun = [&](QDialog& opened) {
        auto* adjust = qobject_cast<CAdjustOffsetDlg*>(&opened);
        if (adjust == nullptr)
            return static_cast<int>(QDialog::Rejected);
        opened.setParent(dialog.get(), opened.windowFlags());
        opened.setWindowModality(Qt::WindowModal);
        QTimer::singleShot(0, adjust, [&, adjust] {
            QObject::connect(&answered, &QTimer::timeout, dialog.get(), [&] {
                if (!Table().entries[1].HasValue())
                    return;
                answered.stop();
                captured = RunState() == CMeasurementDataManager::kStateMeasuring;
                dialog->QuitOnSignal();
            });
            answered.start();
            Command(*adjust, 0, kGet);
        });
        return opened.exec();
    };
    const auto started = std::chrono::steady_clock::now();
    Trigger(Ids::kAdjustOffset);
    EXPECT_LT(std::chrono::steady_clock::now() - started,
              std::chrono::milliseconds(CAdjustOffsetDlg::kCaptureWaitMs));
    EXPECT_TRUE(captured);
    EXPECT_NE(RunState(), CMeasurementDataManager::kStateMeasuring);
    EXPECT_TRUE(prompt.Told().empty());
    EXPECT_EQ(dialog->result(), 0);
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_TRUE(Table().entries[1].HasValue());
}

}  // namespace
