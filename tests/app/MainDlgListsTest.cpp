// The main window's channel value lists against the simulated dongle: live values, silent units,
// and every notification on the window thread through starts, stops and page changes.
#include <QComboBox>
#include <QElapsedTimer>
#include <QThread>
#include <atomic>

#include "MainDlgFixture.h"
#include "display/DrawingHeaderCtrl.h"
#include "display/DrawingListCtrl.h"
#include "display/RowHeaderCtrl.h"
#include "display/ValueListColors.h"

namespace {

using Ids = CMainDlgControls;
using EAlign = TCellLook::EAlign;

class MainDlgListsTest : public CMainDlgFixture {
protected:
    void SetUp() override {
        CMainDlgFixture::SetUp();
        CMeasurementController* c = &dialog->Controller();
        const auto check = [this] { offThread += QThread::currentThread() != qApp->thread(); };
        QObject::connect(c, &CMeasurementSignals::channelValueChanged, check);
        QObject::connect(c, &CMeasurementSignals::unitInformationChanged, check);
        QObject::connect(c, &CMeasurementSignals::listsRefreshDue, check);
        QObject::connect(c, &CMeasurementSignals::lostTimeoutChanged, check);
        QObject::connect(c, &CMeasurementSignals::samplesStored, [this, check] {
            check();
            ++stored;
        });
        QObject::connect(c, &CMeasurementSignals::samplingTick, [this] { ++ticks; });
        QObject::connect(c, &CMeasurementSignals::rebuildRequested, [this, check] {
            check();
            ++rebuilds;
        });
        QObject::connect(&dialog->ValueLists(), &CChannelValueLists::channelLost, [this](int channel) {
            if (firstLost.count(channel) == 0)
                firstLost[channel] = measuring.elapsed();
        });
    }
    // Channels 1..inUse in use at the rate, the rest off.
    static std::string Settings(const char* rate, int inUse) {
        std::string text = std::string("[user]\r\nsystem-no=5\r\nsample-intvl=") + rate + "\r\n";
        for (int channel = 1; channel <= 20; ++channel)
            text +=
                "chpt" + std::to_string(channel) + (channel <= inUse ? "=ON,K,\"\"\r\n" : "=OFF,K,\"\"\r\n");
        return text;
    }
    // Starts a run: one rebuild, and the lost time-out of the rate.
    void Start(uint32_t lostTimeoutMs) {
        AnswerStartDialog(std::nullopt, "");
        const int before = rebuilds;
        ticks = 0;
        firstLost.clear();
        measuring.start();
        Click(Ids::kStartStop);
        ASSERT_EQ(RunState(), CMeasurementDataManager::kStateMeasuring);
        EXPECT_EQ(rebuilds, before + 1);
        EXPECT_EQ(dialog->ValueLists().Model().List(0).LostTimeout(), lostTimeoutMs);
    }
    // Stops the run: one rebuild, no lost detection for stored data.
    void Stop() {
        const int before = rebuilds;
        prompt.onAsk = [](const IOperatorPrompt::TQuestion&) { return true; };
        Click(Ids::kStartStop);
        ASSERT_EQ(RunState(), CMeasurementDataManager::kStateHolding);
        EXPECT_EQ(rebuilds, before + 1);
        EXPECT_EQ(dialog->ValueLists().Model().List(0).LostTimeout(), 0u);
    }
    // Readings of every channel of a record or more reached the window after the lists changed.
    bool AwaitRecord(int channels) {
        const int from = stored;
        return Pump([&] { return stored >= from + channels; }, 2000);
    }
    TCellLook Look(int list, int channel, EValueColumn kind) {
        const CMyTemperatureValueListRapper& w = dialog->ValueLists().Model().List(list);
        const int row = w.RowOf(channel);
        EXPECT_GE(row, 0) << channel;
        return row < 0 ? TCellLook{} : w.CellLook(row, w.ColumnIndex(kind));
    }

    std::atomic<int> offThread{0};
    int stored = 0;
    int ticks = 0;
    int rebuilds = 0;
    QElapsedTimer measuring;
    std::map<int, qint64> firstLost;
};

class MainDlgListsAtOneSecondTest : public MainDlgListsTest {
protected:
    std::string LastOneSettings() const override {
        // Type, Batt. and Ver. beside the graph.
        return Settings("1sec", 3) + "visibleitem-single=14\r\n";
    }
    std::vector<std::string> SimulatorOptions() const override {
        return {"--units", "1,3", "--auto-info", "--sensor", "800", "--thermo", "0"};
    }
};

TEST_F(MainDlgListsAtOneSecondTest, LiveValuesAndASilentUnitAfterSevenSeconds) {
    // Wide enough for the graph's buttons and all four columns beside it.
    dialog->resize(1200, 600);
    Start(5000);
    // Seven sampling periods, channel 2 reported lost by then.
    ASSERT_TRUE(Pump([&] { return ticks >= 7 && firstLost.count(2) == 1; }, 12000));
    for (int channel : {1, 3}) {
        EXPECT_EQ(Look(0, channel, EValueColumn::kTemperature),
                  (TCellLook{"+25.0 ", EAlign::kRight, ValueListColor::kBlack}));
        EXPECT_GE(Look(0, channel, EValueColumn::kBattery).icon, 142);
        EXPECT_FALSE(Look(0, channel, EValueColumn::kVersion).text.empty());
    }
    EXPECT_EQ(Look(0, 2, EValueColumn::kTemperature),
              (TCellLook{"Lost", EAlign::kCentre, ValueListColor::kLost}));
    EXPECT_EQ(Look(0, 2, EValueColumn::kBattery).icon, 140);
    // Five periods of one second, not before.
    EXPECT_GE(firstLost[2], 5000);
    EXPECT_EQ(firstLost.count(1) + firstLost.count(3), 0u);
    EXPECT_EQ(offThread, 0);

    auto* rowHeader = Control<VEK::MFC::CRowHeaderCtrl>(Ids::kRowHeader0);
    ASSERT_EQ(Control(Ids::kList0)->parentWidget(), rowHeader);
    QDir().mkpath(HOLLOWMERE_SCREENS_DIR);
    EXPECT_TRUE(rowHeader->grab().save(HOLLOWMERE_SCREENS_DIR "/lists-1015-1014-measuring.png"));
    Screenshot("main-lists-measuring.png");
}

class MainDlgListsSettingsTest : public MainDlgListsTest {
protected:
    std::string LastOneSettings() const override {
        return Settings("1sec", 3) + "list-div=-1\r\n[list-column]\r\nrow=0\r\nrow-0=4001\r\nrow-1=70\r\n";
    }
};

TEST_F(MainDlgListsSettingsTest, HandEditedSettingsAreCheckedAndWidthsWrittenAtExit) {
    // "list-div" outside 0..2: four lists, the combo showing it.
    EXPECT_EQ(Control<QComboBox>(Ids::kListCount)->currentIndex(), 2);
    EXPECT_EQ(dialog->Paging().ListCount(), 4);
    // Unusable widths give the defaults of the list font; usable ones are scaled to it from the
    // Windows list font's pixels, and not below what the column needs.
    auto* list = Control<VEK::MFC::CDrawingListCtrl>(Ids::kList0);
    const TListWidthRules& rules = dialog->ValueLists().Model().List(0).WidthRules();
    using K = EValueColumn;
    EXPECT_EQ(Control<VEK::MFC::CRowHeaderCtrl>(Ids::kRowHeader0)->StripWidth(), rules.rowHeaderDefault);
    EXPECT_EQ(list->Header()->sectionSize(0), rules.DefaultWidth(K::kTemperature));
    EXPECT_EQ(list->Header()->sectionSize(1), std::max(rules.FromStored(70), rules.MinimumWidth(K::kType)));
    // A width set without a drag still reaches lastone.ini when the window goes.
    list->Header()->resizeSection(1, 64);
    dialog->OnDestroy();
    const std::string lastone = testing_support::ReadFile(SetupFolder() + "/lastone.ini");
    const auto key = [&](const char* name, int width) {
        return std::string(name) + "=" + std::to_string(rules.ToStored(width)) + "\r\n";
    };
    for (const std::string& line :
         {key("row", rules.rowHeaderDefault), key("row-0", rules.DefaultWidth(K::kTemperature)),
          key("row-1", std::max(64, rules.MinimumWidth(K::kType))),
          key("row4-2", rules.DefaultWidth(K::kType))})
        EXPECT_NE(lastone.find(line), std::string::npos) << line;
}

class MainDlgListsAtFastRateTest : public MainDlgListsTest {
protected:
    std::string LastOneSettings() const override { return Settings("100msec", 20); }
    std::vector<std::string> SimulatorOptions() const override {
        return {"--units", "1-19", "--auto-info", "--sensor", "800", "--thermo", "0", "--auto-stop-notice"};
    }
};

TEST_F(MainDlgListsAtFastRateTest, TwentyChannelsThroughStartsStopsAndPageChanges) {
    Trigger(Ids::kGraphDisplay);  // list mode
    QComboBox* count = Control<QComboBox>(Ids::kListCount);
    for (int round = 0; round < 2; ++round) {
        Start(1000);
        // Each list count rebuilds the lists while readings arrive.
        for (int index : {0, 1, 2}) {
            count->setCurrentIndex(index);
            emit count->activated(index);
            ASSERT_TRUE(AwaitRecord(19));
        }
        Click(Ids::kPageForward);  // one page only: nothing moves
        EXPECT_EQ(dialog->Paging().Page(), 0);
        // Unit 20 never reports: lost after max(5 x 100 ms, 1000 ms).
        ASSERT_TRUE(Pump([&] { return Look(1, 20, EValueColumn::kTemperature).text == "Lost"; }, 5000));
        EXPECT_GE(firstLost[20], 1000);
        for (int channel = 1; channel <= 19; ++channel) {
            EXPECT_EQ(Look(0, channel, EValueColumn::kTemperature).text, "+25.0 ") << channel;
            EXPECT_EQ(Look(1, channel, EValueColumn::kTemperature).text, "+25.0 ") << channel;
        }
        Stop();
    }
    EXPECT_EQ(offThread, 0);
    EXPECT_FALSE(Control(Ids::kPageForward)->isEnabled());
}

}  // namespace
