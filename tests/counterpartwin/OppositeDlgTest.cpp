// The counterpart window over its session, offscreen: the unit editor, the periodic button, the
// settings it keeps and the replay of data files.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QComboBox>
#include <QDir>
#include <QDragEnterEvent>
#include <QLabel>
#include <QLayout>
#include <QMimeData>
#include <QSlider>
#include <QTest>
#include <QUrl>
#include <memory>

#include "controller/LoopbackTestHelpers.h"
#include "counterpartwin/OppositeDlg.h"
#include "counterpartwin/OppositeUnitEditor.h"
#include "data/UnitReportLayout.h"
#include "dialogs/ScriptedOperatorPrompt.h"
#include "display/EditDword.h"
#include "display/EditInt.h"
#include "display/TestApplication.h"
#include "files/InifileAccessor.h"
#include "files/Settings.h"
#include "link/SocketServer.h"
#include "support/TestHome.h"

namespace {

using EBox = CScriptedOperatorPrompt::TBox::EKind;

std::string LastOnePath() {
    return testing_support::TestHome() + "/Documents/Quillmark/Brisquent/Setup/lastone.ini";
}

// The sensor values of unit 1's report in one measurement cycle of the engine.
std::vector<int32_t> SentSensors(COppositeSession& session) {
    const COppositeEngine::TFrames frames =
        session.WithEngine([](COppositeEngine& engine) { return engine.MeasurementCycle(); });
    std::vector<int32_t> sensors;
    for (const COppositeEngine::TFrame& frame : frames) {
        // 02 length 42 pipe continue, then the report: kind, unit, battery, count, sequence.
        const uint8_t* report = frame.data() + 5;
        if (report[1] != 1)
            continue;
        for (int i = 0; i < (report[3] & 0x0F); ++i)
            sensors.push_back(UnitReport::ReadPacked14(report + 5 + 5 * i));
    }
    return sensors;
}

class OppositeDlgTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { EnsureTestApplication(); }
    void SetUp() override { testing_support::ResetTestHome(); }

    // A window with its own session, settings read; lastone.ini as given beforehand.
    COppositeDlg& Open(const std::string& lastone = {}) {
        if (!lastone.empty())
            testing_support::WriteFile(LastOnePath(), lastone);
        window = std::make_unique<COppositeDlg>(TOppositeServer{"127.0.0.1", server.BoundPort()}, &prompt);
        window->Open();
        return *window;
    }
    template <typename T = QWidget>
    T* Control(int id) const {
        T* control = window->findChild<T*>(QString::number(id));
        EXPECT_NE(control, nullptr) << id;
        return control;
    }
    QString Text(int id) const { return Control<QLabel>(id)->text(); }
    TOppositeUnit Entry(int unit) {
        return window->Session().WithEngine(
            [unit](COppositeEngine& engine) { return engine.Units().Unit(unit); });
    }
    // Replaces the edit's text as typing does.
    void Type(int id, const QString& text) {
        QLineEdit* edit = Control<QLineEdit>(id);
        edit->clear();
        QTest::keyClicks(edit, text);
    }
    bool Replaying() {
        return window->Session().WithEngine([](COppositeEngine& engine) { return engine.IsReplaying(); });
    }
    std::string Fixture(const std::string& name) const {
        return std::string(HOLLOWMERE_SOURCE_DIR) + "/tests/counterpart/fixtures/" + name;
    }

    CScriptedOperatorPrompt prompt;
    VEK::CSocketServer server;
    std::unique_ptr<COppositeDlg> window;
};

TEST_F(OppositeDlgTest, EditsWriteTheSelectedUnitAndTheStaticsShowWhatIsSent) {
    struct TCase {
        const char* typed;
        int32_t sensor;
        const char* shown;
    };
    const TCase cases[] = {
        {"800", 800, "25.00℃"},
        {"8191", 8191, "255.97℃"},
        {"9000", 8191, "255.97℃"},  // beyond the cold-junction word: its edge
        {"-8193", -8192, "-256.00℃"},
    };
    Open();
    Control<QComboBox>(1044)->setCurrentIndex(1);  // unit 2
    for (const TCase& c : cases) {
        Type(1047, QString::fromLatin1(c.typed));
        EXPECT_EQ(Entry(2).sensor, c.sensor) << c.typed;
        EXPECT_EQ(Control<QSlider>(1050)->value(), c.sensor) << c.typed;
        EXPECT_EQ(Text(1052), QString::fromUtf8(c.shown)) << c.typed;
        EXPECT_EQ(Entry(1).sensor, 0) << "unit 1 untouched";
    }

    Type(1047, QStringLiteral("0"));
    Control<QSlider>(1051)->setValue(10);
    EXPECT_EQ(Control<CEditInt>(1048)->Value(), 2560);
    EXPECT_EQ(Entry(2).thermocouple, 2560);
    Type(1048, QStringLiteral("-2600"));
    EXPECT_EQ(Control<QSlider>(1051)->value(), -10);
    EXPECT_EQ(Entry(2).thermocouple, -2600);
    EXPECT_NE(Text(1053), QStringLiteral("*"));
    // -8 mV below a cold junction at 0 degC lies below type K's table.
    Type(1048, QStringLiteral("-1048576"));
    EXPECT_EQ(Text(1053), QStringLiteral("*"));

    Type(1049, QStringLiteral("12"));
    Type(1054, QStringLiteral("30"));
    Control<QAbstractButton>(1046)->click();
    EXPECT_EQ(Entry(2), (TOppositeUnit{false, 0, -1048576, 12, 30}));

    // Selecting a unit loads it and writes nothing back.
    Control<QComboBox>(1044)->setCurrentIndex(0);
    EXPECT_EQ(Control<CEditInt>(1048)->Value(), 0);
    EXPECT_TRUE(Control<QAbstractButton>(1046)->isChecked());
    Control<QComboBox>(1044)->setCurrentIndex(1);
    EXPECT_EQ(Control<CEditInt>(1047)->Value(), 0);
    EXPECT_EQ(Control<CEditDword>(1054)->Value(), 30u);
    EXPECT_EQ(Entry(2), (TOppositeUnit{false, 0, -1048576, 12, 30}));
}

TEST_F(OppositeDlgTest, PeriodicButtonNeedsTheClientAndAPeriodOf100) {
    server.SetPort(0);
    ASSERT_TRUE(server.Start());
    struct TCase {
        const char* name;
        bool started;
        const char* period;
        const char* told;  // nothing: the cycle starts
    };
    const TCase cases[] = {
        {"client not started", false, "1000", "接続していません"},
        {"60", true, "60", "周期を入力してください"},
        {"empty", true, "", "周期を入力してください"},
        {"100", true, "100", nullptr},
    };
    for (const TCase& c : cases) {
        Open();
        if (c.started)
            Control<QAbstractButton>(1036)->click();
        EXPECT_EQ(Control<QAbstractButton>(1036)->text(), c.started ? "切断" : "接続") << c.name;
        Type(1043, QString::fromLatin1(c.period));
        prompt.boxes.clear();
        Control<QAbstractButton>(1042)->click();
        const COppositeSession::TStatus status = window->Session().Status();
        if (c.told != nullptr) {
            ASSERT_EQ(prompt.boxes.size(), 1u) << c.name;
            EXPECT_EQ(prompt.boxes[0].text, c.told) << c.name;
            EXPECT_EQ(prompt.boxes[0].caption, "対向") << c.name;
            EXPECT_EQ(prompt.boxes[0].icon, IOperatorPrompt::EIcon::kError) << c.name;
            EXPECT_FALSE(status.periodic) << c.name;
            EXPECT_EQ(Control<QAbstractButton>(1042)->text(), "開始") << c.name;
            continue;
        }
        EXPECT_TRUE(prompt.boxes.empty()) << c.name;
        EXPECT_TRUE(status.periodic) << c.name;
        EXPECT_EQ(status.periodMs, 100u) << c.name;
        EXPECT_EQ(Control<QAbstractButton>(1042)->text(), "停止") << c.name;
        EXPECT_FALSE(Control(1043)->isEnabled()) << c.name;
        Control<QAbstractButton>(1042)->click();
        EXPECT_FALSE(window->Session().Status().periodic) << c.name;
        EXPECT_EQ(Control<QAbstractButton>(1042)->text(), "開始") << c.name;
        EXPECT_TRUE(Control(1043)->isEnabled()) << c.name;
        Control<QAbstractButton>(1036)->click();
        EXPECT_EQ(Control<QAbstractButton>(1036)->text(), "接続") << c.name;
    }
    window.reset();
    server.Stop();
}

TEST_F(OppositeDlgTest, SettingsAreReadAtOpeningClampedAndWrittenAtClosing) {
    COppositeUnitTable stored;
    stored.Clear();
    stored.Unit(1) = TOppositeUnit{true, 9600, 0, 20000, 150};  // an old window's ranges
    struct TCase {
        const char* name;
        std::string lastone;
        bool unit1Used;
        bool unit100Used;
        int32_t sensor;
    };
    const TCase cases[] = {
        {"no struct", "[oppo]\r\npriod=1000\r\n", true, true, 0},
        {"2019 bytes", "[oppo]\r\nstruct=" + stored.StructText().substr(2) + "\r\n", false, false, 0},
        {"old ranges", "[oppo]\r\nstruct=" + stored.StructText() + "\r\n", true, false, 8191},
    };
    for (const TCase& c : cases) {
        testing_support::ResetTestHome();
        Open(c.lastone);
        EXPECT_EQ(Entry(1).use, c.unit1Used) << c.name;
        EXPECT_EQ(Entry(100).use, c.unit100Used) << c.name;
        EXPECT_EQ(Control<CEditInt>(1047)->Value(), c.sensor) << c.name;
        EXPECT_EQ(Entry(1).sensor, c.sensor) << c.name;
    }
    // Shown values are sent values.
    EXPECT_EQ(Entry(1), (TOppositeUnit{true, 8191, 0, 10000, 100}));
    window->Session().WithEngine([](COppositeEngine& engine) { engine.Units().Unit(1).failureRate = 0; });
    EXPECT_EQ(SentSensors(window->Session()).size(), 1u);

    Type(1043, QStringLiteral("1234"));
    window->Close();
    COppositeDlg again(TOppositeServer{}, &prompt);
    again.Open();
    EXPECT_EQ(again.findChild<CEditDword*>("1043")->Value(), 1234u);
    const TOppositeUnit reread =
        again.Session().WithEngine([](COppositeEngine& engine) { return engine.Units().Unit(1); });
    EXPECT_EQ(reread, (TOppositeUnit{true, 8191, 0, 10000, 0}));
}

TEST_F(OppositeDlgTest, SensorBeyondTheWordIsShownAndSentAtItsEdge) {
    COppositeUnitTable stored;
    stored.Clear();
    stored.Unit(1) = TOppositeUnit{true, 9600, 0, 0, 0};
    Open("[oppo]\r\nstruct=" + stored.StructText() + "\r\n");
    EXPECT_EQ(Control<CEditInt>(1047)->Value(), 8191);
    EXPECT_EQ(SentSensors(window->Session()), std::vector<int32_t>{8191});
}

TEST_F(OppositeDlgTest, AWindowOverAnotherSessionKeepsNoSettings) {
    COppositeSession session(1);
    session.WithEngine([](COppositeEngine& engine) { engine.Units().Unit(5).sensor = 77; });
    {
        COppositeDlg borrowed(session, &prompt);
        EXPECT_FALSE(borrowed.KeepsSettings());
        borrowed.Open();
        borrowed.Close();
    }
    EXPECT_FALSE(testing_support::FileExists(LastOnePath()) &&
                 testing_support::ReadFile(LastOnePath()).find("[oppo]") != std::string::npos);
    EXPECT_EQ(session.WithEngine([](COppositeEngine& engine) { return engine.Units().Unit(5).sensor; }), 77);
}

TEST_F(OppositeDlgTest, ReplayTakesDataFilesByDialogAndByDrop) {
    Open();
    QAbstractButton* replay = Control<QAbstractButton>(1055);
    EXPECT_TRUE(replay->isVisibleTo(window.get()));
    prompt.onChooseFile = [&](const IOperatorPrompt::TFileRequest&) {
        return std::optional<std::string>(Fixture("replay.csv"));
    };
    replay->click();
    ASSERT_EQ(prompt.fileRequests.size(), 1u);
    EXPECT_EQ(prompt.fileRequests[0].filter, "DATAファイル (*.csv)|*.csv|すべてのファイル (*.*)|*.*||");
    EXPECT_EQ(prompt.fileRequests[0].defaultExtension, "*.csv");
    EXPECT_TRUE(replay->isChecked());
    EXPECT_TRUE(Replaying());
    // Channel 1's first record, 25.0 degC.
    EXPECT_EQ(SentSensors(window->Session()), std::vector<int32_t>{800});
    replay->click();
    EXPECT_FALSE(replay->isChecked());
    EXPECT_FALSE(Replaying());
    EXPECT_EQ(prompt.fileRequests.size(), 1u);

    // A file without records is refused like an unreadable one.
    const std::string headerOnly = testing_support::TestHome() + "/header-only.csv";
    const std::string text = testing_support::ReadFile(Fixture("replay.csv"));
    testing_support::WriteFile(headerOnly, text.substr(0, text.find("1,2026")));
    prompt.onChooseFile = [&](const IOperatorPrompt::TFileRequest&) {
        return std::optional<std::string>(headerOnly);
    };
    replay->click();
    EXPECT_FALSE(replay->isChecked());
    EXPECT_FALSE(Replaying());

    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(QString::fromStdString(Fixture("replay.csv")))});
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(replay, &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(replay, &drop);
    EXPECT_TRUE(replay->isChecked());
    EXPECT_TRUE(Replaying());
}

}  // namespace

// The status line grows with the counters; the window keeps the size the operator gave it, so its
// buttons stay under the pointer and its edge on the screen.
TEST_F(OppositeDlgTest, TheWindowKeepsItsSizeWhileTheStatusGrows) {
    COppositeDlg& opposite = Open();
    opposite.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&opposite));
    QCoreApplication::sendPostedEvents();
    const QSize size = opposite.size();
    auto* status = opposite.findChild<QLabel*>("status");
    ASSERT_NE(status, nullptr);
    status->setText(status->text() + QString(" frames in 18446744073709551615").repeated(4));
    QCoreApplication::sendPostedEvents();
    opposite.layout()->activate();
    EXPECT_EQ(opposite.size(), size);
    QDir().mkpath(HOLLOWMERE_SCREENS_DIR);
    EXPECT_TRUE(opposite.grab().save(HOLLOWMERE_SCREENS_DIR "/counterpart-long-status.png"));
    // The operator may make it wider or narrower, down to what its controls need.
    opposite.resize(size.width() + 120, size.height());
    QCoreApplication::sendPostedEvents();
    EXPECT_EQ(opposite.width(), size.width() + 120);
    opposite.hide();
}
