// The span window in the main window: opened from the Edit menu (and by its key while measuring),
// a tool window of the main window placed as lastone.ini keeps it; it follows the cursors at once
// and a run's data as they arrive; Copy and Save as CSV give what hollowmere-stats prints for the
// same span of the same file.
#include <QClipboard>
#include <QGuiApplication>
#include <QPushButton>
#include <QScreen>
#include <QTest>

#include "MainDlgFixture.h"
#include "files/AccessorSection.h"
#include "files/InifileAccessor.h"
#include "stats/DataFileStatistics.h"

namespace {

using Ids = CMainDlgControls;
const std::string kFixture = std::string(HOLLOWMERE_SOURCE_DIR) + "/tests/app/fixtures/graph30.csv";

class MainDlgSpanTest : public CMainDlgFixture {
protected:
    // A placement for the span window, as an earlier session left it.
    std::string LastOneSettings() const override {
        return CMainDlgFixture::LastOneSettings() +
               "[span-dlg]\r\nValid=1\r\nSX=100\r\nSY=120\r\nEX=900\r\nEY=520\r\n";
    }

    CGraph& Graph() const { return dialog->Graph().Graph(); }
    CSpanDlg& Span() const { return *dialog->SpanWindow(); }
    const TSpanStatistics& Shown() const { return Span().Model().Statistics(); }
    // Until the window shows the span from a to b.
    bool Shows(uint32_t a, uint32_t b) const {
        return Pump([&] { return Shown().a == a && Shown().b == b && !Shown().channels.empty(); }, 5000);
    }
    void Load(const std::string& path) {
        prompt.onChooseFile = [path](const IOperatorPrompt::TFileRequest&) { return std::optional(path); };
        Trigger(Ids::kLoadData);
        ASSERT_EQ(prompt.Told().back(), "Finished reading data from the file.");
    }
    // A click in the graph area on a record of the screen, with Shift for cursor B.
    void ClickRecord(uint32_t record, bool shift) const {
        QWidget* area = Control(Ids::kGraphArea);
        const double perRecord = static_cast<double>(area->width()) / Graph().TimeAxis().ScreenRecords();
        const int x = static_cast<int>((record - Graph().TimeAxis().start) * perRecord);
        QTest::mouseClick(area, Qt::LeftButton, shift ? Qt::ShiftModifier : Qt::NoModifier,
                          QPoint(x, area->height() / 2));
    }
    std::string Stats(uint32_t from, uint32_t to) const {
        TStatsOptions options;
        options.dataFile = kFixture;
        options.from = from;
        options.to = to;
        std::string csv, error;
        EXPECT_TRUE(DataFileStatistics(options, csv, error)) << error;
        return csv;
    }
    void Press(const char* name) const { Span().findChild<QPushButton*>(name)->click(); }
};

TEST_F(MainDlgSpanTest, FollowsTheCursorsAndCopiesWhatTheStatsProgramPrints) {
    ASSERT_NO_FATAL_FAILURE(Load(kFixture));  // 600 records of 30 channels, 600 records a screen
    ASSERT_FALSE(Span().isVisible());
    Trigger(Ids::kSpanStatistics);
    ASSERT_TRUE(Span().isVisible());
    EXPECT_FALSE(Span().isModal());
    EXPECT_EQ(Span().parentWidget(), dialog.get());
    EXPECT_TRUE(Span().windowFlags().testFlag(Qt::Tool));
    EXPECT_EQ(Span().geometry(), QRect(100, 120, 800, 400));
    // Without cursors: the whole data.
    ASSERT_TRUE(Shows(0, 599));
    EXPECT_EQ(Span().Model().rowCount(), 30);
    EXPECT_TRUE(Span().EndsText().contains("(first record)"));
    EXPECT_TRUE(Span().EndsText().contains("(last record)"));

    Click(1010);  // the cursor, mid-screen
    const uint32_t a = Graph().CursorRecord();
    ASSERT_EQ(a, 300u);
    EXPECT_TRUE(Shows(a, 599));
    EXPECT_TRUE(Control(Ids::kCursorB)->isEnabled());
    Click(Ids::kCursorB);
    EXPECT_TRUE(Shows(a, a));
    ClickRecord(120, true);  // B by a click with Shift
    const uint32_t b = Graph().CursorB().record;
    EXPECT_NEAR(b, 120, 1);
    ASSERT_TRUE(Shows(a, b));
    EXPECT_TRUE(Span().EndsText().contains("(cursor B)"));
    EXPECT_TRUE(Span().EndsText().contains("-00:03:0")) << Span().EndsText().toStdString();  // B before A

    Press("span-copy");
    const std::string expected = Stats(a, b);
    EXPECT_EQ(QGuiApplication::clipboard()->text().toStdString(), expected);
    const std::string path = DataPath("span.csv");
    prompt.onChooseFile = [path](const IOperatorPrompt::TFileRequest&) { return std::optional(path); };
    Press("span-save");
    EXPECT_EQ(prompt.fileRequests.back().proposedName, "span.csv");
    EXPECT_EQ(testing_support::ReadFile(path), expected);
    EXPECT_EQ(prompt.Told().back(), "Finished saving the statistics to the file.");

    // The cursor moved by its button: the window follows at once.
    QTest::mousePress(Control(1008), Qt::LeftButton);
    QTest::mouseRelease(Control(1008), Qt::LeftButton);
    EXPECT_TRUE(Shows(a - 1, b));

    // Clearing the data takes both cursors and the figures.
    prompt.onAsk = [](const IOperatorPrompt::TQuestion&) { return true; };
    Trigger(Ids::kClearAllData);
    EXPECT_FALSE(Graph().CursorB().on);
    EXPECT_TRUE(Pump([&] { return Span().EndsText() == "No data."; }, 5000));
    EXPECT_EQ(Span().Model().rowCount(), 0);

    // The place it was left in is kept.
    Span().move(140, 160);
    dialog->OnDestroy();
    VEK::CInifileAccessor lastOne(SetupFolder() + "/lastone.ini");
    const VEK::AccessorSection placement{&lastOne, "span-dlg"};
    EXPECT_EQ(placement.GetInteger("SX", -1), Span().geometry().x());
    EXPECT_EQ(placement.GetInteger("EX", -1), Span().geometry().right() + 1);
}

TEST_F(MainDlgSpanTest, FollowsARunAsItsDataArrive) {
    AnswerStartDialog(std::nullopt, "");
    Click(Ids::kStartStop);
    ASSERT_EQ(RunState(), CMeasurementDataManager::kStateMeasuring);
    EXPECT_FALSE(dialog->Controls().Button(Ids::kEditMenu)->isEnabled());
    QTest::keyClick(dialog.get(), Qt::Key_T, Qt::ControlModifier);  // the Edit menu is disabled
    ASSERT_TRUE(Span().isVisible());
    ASSERT_TRUE(Pump([&] { return Shown().b >= 2; }, 10000)) << Span().EndsText().toStdString();
    EXPECT_EQ(Shown().channels.size(), Store().ChannelsInUse().size());
    const uint32_t newest = Shown().b;
    EXPECT_TRUE(Span().EndsText().contains("(newest record)"));
    ASSERT_TRUE(Pump([&] { return Shown().b > newest; }, 10000));
    EXPECT_EQ(Shown().a, 0u);
    EXPECT_EQ(Shown().channels[0].records, Shown().b + 1);
    EXPECT_GT(Shown().channels[0].valid, 0u);
    // No cursor, so no cursor B, while measuring.
    EXPECT_FALSE(Control(Ids::kCursorB)->isEnabled());
    prompt.onAsk = [](const IOperatorPrompt::TQuestion&) { return true; };
    Click(Ids::kStartStop);
    EXPECT_TRUE(Pump([&] { return Span().EndsText().contains("(last record)"); }, 5000));
}

// Never placed before: opened beside the main window and on the screen; once the operator moved it,
// opened again where it was left.
class MainDlgSpanUnplacedTest : public MainDlgSpanTest {
protected:
    std::string LastOneSettings() const override { return CMainDlgFixture::LastOneSettings(); }
};

TEST_F(MainDlgSpanUnplacedTest, OpensBesideTheMainWindowOnTheScreen) {
    dialog->resize(dialog->minimumSize());
    dialog->move(0, 40);
    Trigger(Ids::kSpanStatistics);
    ASSERT_TRUE(Span().isVisible());
    const QRect screen = dialog->screen()->availableGeometry();
    const QRect span = Span().frameGeometry();
    EXPECT_EQ(span.y(), dialog->y());
    EXPECT_GE(span.left(), screen.left());
    if (span.width() <= screen.width()) {
        EXPECT_LE(span.right(), screen.right());
    }
    if (dialog->frameGeometry().right() + span.width() < screen.right()) {
        EXPECT_GT(span.left(), dialog->frameGeometry().right());
    }
    Span().hide();
    Span().move(50, 60);
    Trigger(Ids::kSpanStatistics);
    EXPECT_EQ(Span().pos(), QPoint(50, 60));
}

}  // namespace
