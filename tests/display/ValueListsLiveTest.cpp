// The channel value lists fed by the measurement controller, against the simulated dongle over
// 127.0.0.1 (in this process), as the main window hosts them.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QThread>
#include <atomic>

#include "app/LoopbackTestHelpers.h"
#include "app/TestApplication.h"
#include "app/controller/IMeasurementView.h"
#include "app/controller/MeasurementController.h"
#include "counterpart/OppositeSession.h"
#include "counterpart/SimOptions.h"
#include "display/ChannelMarkColors.h"
#include "display/ChannelValueLists.h"
#include "display/DialogFont.h"
#include "display/DrawingListCtrl.h"
#include "display/RowHeaderCtrl.h"
#include "display/ValueListColors.h"
#include "files/Settings.h"
#include "support/TestHome.h"

namespace {

using VEK::MFC::CDrawingListCtrl;
using VEK::MFC::CRowHeaderCtrl;

class CQuietView : public IMeasurementView {
public:
    void ShowMessage(EIcon, const std::string&) override {}
    bool WaitForStopConfirmation(const std::function<bool()>&) override { return true; }
};

void Wait(int ms) {
    Pump([] { return false; }, ms);
}

class ValueListsLiveTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { EnsureTestApplication(); }

    // The lists of dialog 102 by their ids, list 0 shown; channels 1..inUse in use at the rate.
    void Open(uint8_t rateCode, int inUse) {
        testing_support::ResetTestHome();
        port = FreeLoopbackPort();
        testing_support::WriteFile(VEK::SetupFolder() + "/define.ini",
                                   "[parameter]\r\nhid-vid=tcp\r\nhid-pid=" + std::to_string(port) + "\r\n");
        parameters.systemNumber = 5;
        parameters.polling = TPollingSetting::Fresh();
        parameters.polling.SetRateCode(rateCode);
        for (int unit = 1; unit <= inUse; ++unit) parameters.polling.SetInUse(unit, true);
        parameters.thermocoupleType.fill(1);
        parameters.visibleItemsSingle = 0x0E;  // Type, Batt., Ver.
        controller = std::make_unique<CMeasurementController>(parameters, view);
        WatchThreads();

        const int ids[][2] = {{1014, 1015}, {1038, 1039}, {1020, 1033}, {1034, 1035}, {1036, 1037}};
        CChannelValueLists::TControls controls;
        for (int list = 0; list < CChannelValueLists::kLists; ++list) {
            controls.lists[list] = new CDrawingListCtrl;
            controls.lists[list]->setObjectName(QString::number(ids[list][0]));
            controls.rowHeaders[list] = new CRowHeaderCtrl(&window);
            controls.rowHeaders[list]->setObjectName(QString::number(ids[list][1]));
            controls.rowHeaders[list]->setGeometry(0, 0, 330, 190);
            controls.rowHeaders[list]->setVisible(list == 0);
        }
        lists = std::make_unique<CChannelValueLists>(controls, controller->Store(), parameters, DialogFont(),
                                                     VEK::LastOneSection("list-column"));
        lists->SetMarkColors(ReadChannelMarkColors(VEK::DefineParameterSection()));
        lists->Follow(*controller);
        lists->RebuildLists();
        window.resize(330, 190);
        window.show();
    }
    void TearDown() override {
        lists.reset();
        controller.reset();
        if (sim)
            sim->Stop();
    }
    void StartSimulator(const std::string& units) {
        TSimOptions options;
        std::string error;
        ASSERT_TRUE(ParseSimOptions({"--units", units, "--auto-info", "--sensor", "800", "--thermo", "0"},
                                    options, error))
            << error;
        sim = std::make_unique<COppositeSession>(7);
        sim->WithEngine([&](COppositeEngine& engine) { ApplySimOptions(options, engine); });
        sim->SetServer("127.0.0.1", port);
        controller->StartDeviceWatch();
        sim->Start();
        ASSERT_TRUE(Pump([&] { return controller->IsConnected(); }, 10000));
    }
    // Every signal the lists follow must arrive on the window thread.
    void WatchThreads() {
        const auto check = [this] { offThread += QThread::currentThread() != qApp->thread(); };
        CMeasurementController* c = controller.get();
        QObject::connect(c, &CMeasurementSignals::channelValueChanged, check);
        QObject::connect(c, &CMeasurementSignals::samplesStored, check);
        QObject::connect(c, &CMeasurementSignals::unitInformationChanged, check);
        QObject::connect(c, &CMeasurementSignals::listsRefreshDue, check);
        QObject::connect(c, &CMeasurementSignals::lostTimeoutChanged, check);
        QObject::connect(c, &CMeasurementSignals::rebuildRequested, [this, check] {
            check();
            ++rebuilds;
        });
    }
    TCellLook Look(int list, int channel, EValueColumn kind) const {
        const CMyTemperatureValueListRapper& w = lists->Model().List(list);
        const int row = w.RowOf(channel);
        EXPECT_GE(row, 0) << channel;
        return row < 0 ? TCellLook{} : w.CellLook(row, w.ColumnIndex(kind));
    }

    uint16_t port = 0;
    VEK::TParameterSet parameters;
    CQuietView view;
    std::unique_ptr<CMeasurementController> controller;
    std::unique_ptr<COppositeSession> sim;
    QWidget window;
    std::unique_ptr<CChannelValueLists> lists;
    std::atomic<int> offThread{0};
    int rebuilds = 0;
};

TEST_F(ValueListsLiveTest, LiveValuesAndASilentUnitAfterSevenSeconds) {
    Open(4, 3);  // 1 sec, channels 1..3
    StartSimulator("1,3");
    // Channel 2 has no unit: lost five periods after the start, not before.
    QElapsedTimer measuring;
    qint64 lostAfter = -1;
    QObject::connect(lists.get(), &CChannelValueLists::channelLost, [&](int channel) {
        if (channel == 2 && lostAfter < 0)
            lostAfter = measuring.elapsed();
    });
    measuring.start();
    ASSERT_EQ(controller->StartMeasurement(TRunOptions{.workingFile = false}), 0);
    EXPECT_EQ(lists->Model().List(0).LostTimeout(), 5000u);
    Wait(7000);

    using EAlign = TCellLook::EAlign;
    for (int channel : {1, 3}) {
        EXPECT_EQ(Look(0, channel, EValueColumn::kTemperature),
                  (TCellLook{"+25.0 ", EAlign::kRight, ValueListColor::kBlack}));
        EXPECT_GE(Look(0, channel, EValueColumn::kBattery).icon, 142);
        EXPECT_FALSE(Look(0, channel, EValueColumn::kVersion).text.empty());
    }
    EXPECT_EQ(Look(0, 2, EValueColumn::kTemperature),
              (TCellLook{"Lost", EAlign::kCentre, ValueListColor::kLost}));
    EXPECT_EQ(Look(0, 2, EValueColumn::kBattery).icon, 140);
    EXPECT_GE(lostAfter, 5000);
    EXPECT_EQ(offThread, 0);

    QDir().mkpath(HOLLOWMERE_SCREENS_DIR);
    auto* rowHeader = window.findChild<CRowHeaderCtrl*>("1015");
    ASSERT_NE(rowHeader, nullptr);
    ASSERT_NE(rowHeader->findChild<CDrawingListCtrl*>("1014"), nullptr);
    EXPECT_TRUE(rowHeader->grab().save(HOLLOWMERE_SCREENS_DIR "/value_list_1015_1014_live.png"));
}

TEST_F(ValueListsLiveTest, TwentyChannelsAtAHundredMillisecondsThroughStartsStopsAndPages) {
    Open(1, 20);  // 100 ms, channels 1..20; unit 20 stays silent
    StartSimulator("1-19");
    for (int round = 0; round < 2; ++round) {
        const int before = rebuilds;
        ASSERT_EQ(controller->StartMeasurement(TRunOptions{.workingFile = false}), 0);
        EXPECT_EQ(rebuilds, before + 1);
        EXPECT_EQ(lists->Model().List(0).LostTimeout(), 1000u);
        for (int index : {0, 1, 2}) {
            lists->SetListCountIndex(index);
            Wait(400);
        }
        lists->PageForward();  // one page only: nothing moves
        EXPECT_EQ(lists->Paging().Page(), 0);
        ASSERT_TRUE(Pump([&] { return Look(1, 20, EValueColumn::kTemperature).text == "Lost"; }, 5000));
        for (int channel = 1; channel <= 19; ++channel)
            EXPECT_EQ(Look(1, channel, EValueColumn::kTemperature).text, "+25.0 ") << channel;
        controller->FinishMeasurement();
        EXPECT_EQ(rebuilds, before + 2);
        EXPECT_EQ(lists->Model().List(0).LostTimeout(), 0u);
    }
    EXPECT_EQ(offThread, 0);
}

}  // namespace
