// The receive path on its own, fed the dongle's events as recorded frames: what reaches the store
// and the polling setting, and what the window thread is told.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <string>
#include <vector>

#include "DongleEvents.h"
#include "controller/DongleLink.h"
#include "controller/IMeasurementView.h"
#include "controller/MeasurementSignals.h"
#include "controller/ReceivePath.h"
#include "controller/SharedParameters.h"
#include "controller/StopHandshake.h"
#include "data/MeasurementDataManager.h"
#include "data/ReportBuilder.h"  // tests/data

namespace {

using namespace controller_test;
using data_test::InformationReport;
using data_test::MeasurementReport;

constexpr data_test::TSample kAt25{0x0C80, 0};

class CSilentView : public IMeasurementView {
public:
    void ShowMessage(EIcon, const std::string&) override {}
    bool WaitForStopConfirmation(const std::function<bool()>&) override { return true; }
};

// The signals as text, in the order they came.
class CSignalLog {
public:
    explicit CSignalLog(CMeasurementSignals& notifier) {
        QObject::connect(
            &notifier, &CMeasurementSignals::channelValueChanged, [this](int channel, TChannelValue v) {
                lines.push_back(v.kind == TChannelValue::EKind::kReady
                                    ? "ready " + std::to_string(channel)
                                    : "value " + std::to_string(channel) + " " + std::to_string(v.reading));
            });
        QObject::connect(&notifier, &CMeasurementSignals::samplesStored,
                         [this](int channel, uint32_t count, uint32_t first) {
                             lines.push_back("stored " + std::to_string(channel) + " " +
                                             std::to_string(count) + " from " + std::to_string(first));
                         });
        QObject::connect(&notifier, &CMeasurementSignals::unitInformationChanged,
                         [this](int channel) { lines.push_back("information " + std::to_string(channel)); });
        QObject::connect(&notifier, &CMeasurementSignals::listsRefreshDue,
                         [this] { lines.push_back("refresh"); });
    }
    std::vector<std::string> lines;
};

class ReceivePathTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { EnsureCoreApplication(); }

    // Delivered on this thread; the queued reports to the window thread run before it returns.
    std::vector<std::string> Feed(const QNL::CBasicPacket& frame) {
        log.lines.clear();
        Deliver(frame, path);
        QCoreApplication::processEvents();
        return log.lines;
    }

    VEK::TParameterSet parameterSet;
    CSharedParameters parameters{parameterSet};
    CMeasurementDataManager store;
    CMeasurementSignals notifier;
    CSilentView view;
    CDongleLink link{parameters, store, notifier};
    CStopHandshake stop{link, view};
    CReceivePath path{store, parameters, link, stop, notifier};
    CSignalLog log{notifier};
};

TEST_F(ReceivePathTest, MeasurementReportsWhileMeasuring) {
    using TLines = std::vector<std::string>;
    store.Start(data_test::ThreeChannelSetup());
    EXPECT_EQ(Feed(DataReceivedEvent(MeasurementReport(1, 0, {kAt25, kAt25}))),
              (TLines{"value 1 250", "stored 1 2 from 0"}));
    EXPECT_EQ(CMeasurementDataManager::GetReading(store.Channel(1), 1), 250);
    // A unit not in use, and a report shorter than its samples: nothing stored, nothing said.
    EXPECT_EQ(Feed(DataReceivedEvent(MeasurementReport(4, 1, {kAt25}))), TLines{});
    auto cut = MeasurementReport(2, 1, {kAt25, kAt25});
    cut.resize(12);
    EXPECT_EQ(Feed(DataReceivedEvent(cut)), TLines{});
    EXPECT_EQ(store.Channel(2).ReadingCount(), 0u);

    // Once the unit's information is known, a new battery level is news of its own.
    EXPECT_EQ(Feed(DataReceivedEvent(InformationReport(2, 0, {0, 0, 0, 0}, 80))),
              (TLines{"information 2", "refresh"}));
    EXPECT_EQ(Feed(DataReceivedEvent(MeasurementReport(2, 1, {kAt25}, 80))),
              (TLines{"value 2 250", "stored 2 1 from 1"}));
    EXPECT_EQ(Feed(DataReceivedEvent(MeasurementReport(2, 2, {kAt25}, 79))),
              (TLines{"value 2 250", "stored 2 1 from 2", "information 2", "refresh"}));
    EXPECT_EQ(store.UnitInformation(2).Battery(), 79);
}

TEST_F(ReceivePathTest, WhileIdleOnlyInformationIsTaken) {
    using TLines = std::vector<std::string>;
    store.Reset(data_test::ThreeChannelSetup());
    parameters.SetAllInformationWanted();
    EXPECT_EQ(Feed(DataReceivedEvent(MeasurementReport(1, 0, {kAt25}))), TLines{});
    EXPECT_EQ(store.Channel(1).ReadingCount(), 0u);

    EXPECT_EQ(Feed(DataReceivedEvent(InformationReport(3, 0))),
              (TLines{"ready 3", "information 3", "refresh"}));
    EXPECT_TRUE(store.UnitInformation(3).IsPresent());
    EXPECT_FALSE(parameters.PollingSetting().InfoWanted(3));
    EXPECT_TRUE(parameters.PollingSetting().InfoWanted(2));
    // Cut short, or for a unit outside 1..100: refused.
    auto cut = InformationReport(2, 0);
    cut.resize(21);
    EXPECT_EQ(Feed(DataReceivedEvent(cut)), TLines{});
    EXPECT_EQ(Feed(DataReceivedEvent(InformationReport(101, 0))), TLines{});
    EXPECT_TRUE(parameters.PollingSetting().InfoWanted(2));
}

// A burst while the window thread is busy: one call per channel waits, with the readings' range
// merged and the newest reading shown.
TEST_F(ReceivePathTest, BurstReachesTheWindowThreadOncePerChannel) {
    using TLines = std::vector<std::string>;
    store.Start(data_test::ThreeChannelSetup());
    log.lines.clear();
    for (uint8_t sequence = 0; sequence < 10; ++sequence) {
        Deliver(DataReceivedEvent(MeasurementReport(1, sequence, {kAt25})), path);
        store.AdvanceTick();
    }
    for (int i = 0; i < 50; ++i) Deliver(DataReceivedEvent(InformationReport(3, 0)), path);
    QCoreApplication::processEvents();
    EXPECT_EQ(log.lines, (TLines{"value 1 250", "stored 1 10 from 0", "information 3", "refresh"}));
    EXPECT_FALSE(path.WindowThreadBehind(std::chrono::milliseconds(0)));
}

}  // namespace
