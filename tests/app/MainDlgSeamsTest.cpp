// Where two parts of the main window meet: the graph and the record store after a load, the views
// after a device error or a new system number, the unit labels, the working file of a run the
// operator discarded, the lists during the offset dialog's short measurement.
#include <QLabel>
#include <QMenu>
#include <QRadioButton>
#include <QTableWidget>
#include <QTest>
#include <QTimer>

#include "MainDlgFixture.h"
#include "data/MeasurementSetup.h"
#include "dialogs/AdjustOffsetDlg.h"
#include "display/GraphGeometry.h"
#include "files/DataFile.h"

namespace {

using Ids = CMainDlgControls;
using EState = CMeasurementDataManager::EState;

// Finished data of a file at 100 ms: channels 1 to 3 with every reading at tenths, in unit, seen
// at timeDiv, 10 degrees a division around 30.
void WriteConstantFile(const std::string& path, uint32_t records, int16_t tenths, uint32_t unit,
                       const char* timeDiv) {
    TMeasurementSetup setup;
    setup.systemNumber = 5;
    setup.pollingSetting.SetRateCode(1);
    for (int channel = 1; channel <= 3; ++channel) setup.pollingSetting.SetInUse(channel, true);
    setup.temperatureUnit = unit;
    CMeasurementDataManager store;
    store.Reset(setup);
    const std::vector<int16_t> readings(records, tenths);
    for (int channel = 1; channel <= 3; ++channel)
        store.Channel(channel).FillReadings(0, readings.data(), readings.size());
    store.SetRecordCount(records);
    store.SetState(EState::kStateHolding);
    VEK::TDataFileView view;
    view.scales = {timeDiv, unit == 0 ? "10deg C" : "10deg F", 30};
    ASSERT_TRUE(VEK::SaveDataFile(path, store, view));
}

// Channels 1 to 3 at 100 ms; the units report 10.0 degC.
class MainDlgSeamsTest : public CMainDlgFixture {
protected:
    std::string LastOneSettings() const override {
        std::string settings = "[user]\r\nsystem-no=5\r\nsample-intvl=100msec\r\n";
        for (int channel = 1; channel <= 100; ++channel)
            settings +=
                "chpt" + std::to_string(channel) + (channel <= InUse() ? "=ON" : "=OFF") + ",K,\"\"\r\n";
        return settings;
    }
    std::vector<std::string> SimulatorOptions() const override {
        return {"--units", "1-3", "--sensor", "320", "--auto-info", "--auto-stop-notice"};
    }
    virtual int InUse() const { return 3; }

    CGraph& Graph() const { return dialog->Graph().Graph(); }
    void Settle() const {
        ASSERT_TRUE(Pump([&] { return !Graph().RedrawPending(); }, 3000));
    }
    std::string Text(int id) const { return Control<QLabel>(id)->text().toStdString(); }
    void Load(const std::string& path) {
        prompt.onChooseFile = [path](const IOperatorPrompt::TFileRequest&) { return std::optional(path); };
        Trigger(Ids::kLoadData);
        ASSERT_EQ(prompt.Told().back(), "Finished reading data from the file.");
        Settle();
    }
    // The pixel columns up to the last record's, and how many of them show channel 3's line (drawn
    // last) at the row of tenths.
    std::pair<int, int> LineColumns(int16_t tenths) const {
        const CGraphRenderer& renderer = Graph().Renderer();
        const uint32_t records = Store().RecordCount();
        const TGraphGeometry geometry =
            renderer.Geometry(Graph().TimeAxis(), Graph().TemperatureAxis(), records);
        const QImage& layer = renderer.DataLayer().Image();
        const int columns = std::min(geometry.X(records - 1), layer.width() - 1) + 1;
        const int y = geometry.Y(tenths);
        int drawn = 0;
        for (int x = 0; x < columns; ++x) drawn += layer.pixel(x, y) == renderer.Colors().Rgb(3) ? 1 : 0;
        return {columns, drawn};
    }
    // The file at 50.0 degC over 40 000 records, at one hour a division, loaded; then the records
    // after about the 20 000th deleted at the cursor. The line stays at 50.0 throughout.
    void LoadAndCutAt50() {
        const std::string path = DataPath("at-50.csv");
        WriteConstantFile(path, 40000, 500, 0, "1hour");
        prompt.onAsk = [](const IOperatorPrompt::TQuestion&) { return true; };
        Load(path);
        ASSERT_EQ(Store().RecordCount(), 40000u);
        ASSERT_EQ(Text(1011), "1hour/DIV");
        auto [columns, drawn] = LineColumns(500);
        ASSERT_GT(columns, 30);
        EXPECT_EQ(drawn, columns);
        EXPECT_EQ(LineColumns(100).second, 0);

        Click(1010);
        QWidget* area = Control(Ids::kGraphArea);
        const int x = static_cast<int>(20000.0 * area->width() / Graph().TimeAxis().samplesPerScreen);
        QTest::mouseClick(area, Qt::LeftButton, {}, QPoint(x, area->height() / 2));
        ASSERT_LT(Graph().CursorRecord(), 30000u);
        Trigger(Ids::kDeleteAfter);
        ASSERT_LT(Store().RecordCount(), 30000u);
        Settle();
        std::tie(columns, drawn) = LineColumns(500);
        EXPECT_GT(columns, 15);
        EXPECT_EQ(drawn, columns);
    }
};

TEST_F(MainDlgSeamsTest, AFileLoadedAfterARunIsDrawnFromItsOwnReadings) {
    MeasureAndStop();
    ASSERT_NEAR(CMeasurementDataManager::GetReading(Store().Channel(3), 1), 100, 2);  // the run at 10.0
    LoadAndCutAt50();
}

TEST_F(MainDlgSeamsTest, AFileLoadedWithoutARunBeforeKeepsItsLineAfterACut) {
    LoadAndCutAt50();
}

// The dongle lost while the operator browses the run: the finished data on the normal background.
TEST_F(MainDlgSeamsTest, DeviceErrorReleasesTheHold) {
    AnswerStartDialog(std::nullopt, "");
    Click(Ids::kStartStop);
    ASSERT_TRUE(Pump([&] { return Store().RecordCount() >= 5; }, 10000));
    dialog->Controls().ScrollBar(1023)->Scroll(VEK::MFC::CScrollBarEx::kLineUp);
    ASSERT_TRUE(Graph().Held());
    sim->Stop();
    ASSERT_TRUE(Pump([&] { return RunState() == EState::kStateHolding; }, 10000));
    EXPECT_EQ(prompt.Told(), std::vector<std::string>{"Stopped measurement because DEVICE ERROR occurred."});
    EXPECT_FALSE(Graph().Held());
    Settle();
    const QImage& picture = Graph().Picture();
    EXPECT_EQ(picture.pixel(picture.width() / 20, picture.height() / 20),
              Graph().Colors().Rgb(TDisplayColors::kBackground));
}

// Settings in degC, a file in degF: the label and the scale both name the data's unit.
TEST_F(MainDlgSeamsTest, UnitLabelsFollowTheData) {
    const std::string path = DataPath("fahrenheit.csv");
    WriteConstantFile(path, 100, 700, 1, "10sec");
    EXPECT_EQ(Text(Ids::kUnitLabel), "[deg C]");
    Load(path);
    EXPECT_EQ(Text(Ids::kUnitLabel), "[deg F]");
    EXPECT_EQ(Text(1013), "10deg F/DIV");
    prompt.onAsk = [](const IOperatorPrompt::TQuestion&) { return true; };
    Trigger(Ids::kClearAllData);
    ASSERT_EQ(RunState(), EState::kStateEmpty);
    EXPECT_EQ(Text(Ids::kUnitLabel), "[deg C]");
    EXPECT_EQ(Text(1013), "10deg C/DIV");
}

// A new system number discards the data as a reset does: at once, whether the dongle comes back
// or not.
TEST_F(MainDlgSeamsTest, NewSystemNumberShowsTheEmptyStoreAtOnce) {
    MeasureAndStop();
    Click(1010);
    ASSERT_TRUE(Graph().CursorOn());
    prompt.onAsk = [](const IOperatorPrompt::TQuestion&) { return true; };
    prompt.onRun = [](QDialog& opened) {
        auto setup = SystemNumberAnswer(7);
        auto* fahrenheit = opened.findChild<QRadioButton*>("1077");
        if (fahrenheit == nullptr)
            return static_cast<int>(QDialog::Rejected);
        fahrenheit->click();
        return setup(opened);
    };
    Trigger(Ids::kSetup);
    ASSERT_EQ(dialog->ParameterSet().systemNumber, 7u);
    ASSERT_EQ(RunState(), EState::kStateEmpty);
    EXPECT_FALSE(Graph().CursorOn());
    EXPECT_FALSE(dialog->Controls().Action(Ids::kDeleteBefore)->isEnabled());
    EXPECT_EQ(Text(Ids::kUnitLabel), "[deg F]");
    EXPECT_NE(Text(1013).find("deg F/DIV"), std::string::npos);
    const CMyTemperatureValueListRapper& list = dialog->ValueLists().Model().List(0);
    const int column = list.ColumnIndex(EValueColumn::kTemperature);
    ASSERT_EQ(list.RowCount(), 3);
    for (int row = 0; row < list.RowCount(); ++row) EXPECT_EQ(list.CellLook(row, column).text, "") << row;
    Settle();
    EXPECT_EQ(LineColumns(100).second, 0);
    EXPECT_FALSE(dialog->Controller().IsConnected());  // still before the dongle is back
}

// The working file of a run saved nowhere goes with the data once the operator agreed to discard
// them; where the data stay, it stays.
TEST_F(MainDlgSeamsTest, ADiscardedRunIsNotOfferedBack) {
    const std::string loadable = DataPath("loadable.csv");
    WriteConstantFile(loadable, 100, 250, 0, "10sec");
    struct TCase {
        const char* name;
        std::function<void()> command;
        bool dataStay;
    };
    const TCase cases[] = {
        {"start dialog cancelled", [&] { Click(Ids::kStartStop); }, true},
        {"clear", [&] { Trigger(Ids::kClearAllData); }, false},
        {"load", [&] { Load(loadable); }, false},
        {"adjust offset", [&] { Trigger(Ids::kAdjustOffset); }, false},
    };
    for (const TCase& c : cases) {
        MeasureAndStop();
        const std::string working = dialog->Controller().WorkingFilePath();
        ASSERT_TRUE(testing_support::FileExists(working)) << c.name;
        prompt.boxes.clear();
        prompt.onAsk = [](const IOperatorPrompt::TQuestion&) { return true; };
        prompt.onRun = [](QDialog&) { return static_cast<int>(QDialog::Rejected); };
        c.command();
        EXPECT_FALSE(prompt.Asked().empty()) << c.name;
        EXPECT_EQ(RunState() == EState::kStateHolding && Store().SavedPath().empty(), c.dataStay) << c.name;
        EXPECT_EQ(testing_support::FileExists(working), c.dataStay) << c.name;
    }
    // At a quit the question comes first; OK, and the run is gone for good.
    MeasureAndStop();
    const std::string working = dialog->Controller().WorkingFilePath();
    ASSERT_TRUE(testing_support::FileExists(working));
    dialog->QuitRequest();
    dialog->OnDestroy();
    EXPECT_FALSE(testing_support::FileExists(working));
}

// Channel 4 in use without a unit: "ALL" waits the full three seconds, in which the lists and the
// information line go on showing no data, not a run whose channels are all lost.
class MainDlgSeamsShortTest : public MainDlgSeamsTest {
protected:
    int InUse() const override { return 4; }
};

TEST_F(MainDlgSeamsShortTest, TheOffsetDialogsShortMeasurementShowsNoRun) {
    std::string information;
    std::vector<std::string> values;
    prompt.onRun = [&](QDialog& opened) {
        auto* adjust = qobject_cast<CAdjustOffsetDlg*>(&opened);
        if (adjust == nullptr)
            return static_cast<int>(QDialog::Rejected);
        adjust->show();
        // Half-way through the wait for channel 4.
        QTimer::singleShot(2000, [&] {
            information = Text(Ids::kInformation);
            const CMyTemperatureValueListRapper& list = dialog->ValueLists().Model().List(0);
            for (int row = 0; row < list.RowCount(); ++row)
                values.push_back(list.CellLook(row, list.ColumnIndex(EValueColumn::kTemperature)).text);
        });
        auto* list = adjust->findChild<QTableWidget*>("1039");
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                          list->visualRect(list->model()->index(0, 1)).center());
        auto* menu = adjust->findChild<QMenu*>("170");
        menu->hide();
        menu->findChild<QAction*>("32797")->trigger();
        adjust->findChild<QAbstractButton*>("2")->click();
        return adjust->result();
    };
    Trigger(Ids::kAdjustOffset);
    ASSERT_EQ(prompt.Told().size(), 1u);  // channel 4 did not answer
    EXPECT_EQ(information.find("Start Time"), std::string::npos) << information;
    EXPECT_NE(information.find("File: no data"), std::string::npos) << information;
    ASSERT_EQ(values.size(), 4u);
    for (const std::string& value : values) EXPECT_NE(value, "Lost");
}

}  // namespace
