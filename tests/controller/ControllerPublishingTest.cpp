// The controller publishing its runs to a broker of the test's own, against the simulated dongle:
// the ends of a run that no front end sees through the recorder.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <memory>

#include "DataRowRecord.h"  // tests/publish
#include "DongleEvents.h"
#include "TestBroker.h"
#include "TestSubscriber.h"
#include "controller/IMeasurementView.h"
#include "controller/LoopbackTestHelpers.h"
#include "controller/MeasurementController.h"
#include "counterpart/OppositeSession.h"
#include "counterpart/SimOptions.h"
#include "support/TestHome.h"

using namespace std::chrono_literals;
using TMessages = std::vector<CTestSubscriber::TMessage>;

namespace {

const std::string kRecordTopic = "hollowmere/5/record";
const std::string kStateTopic = "hollowmere/5/state";

class CQuietView : public IMeasurementView {
public:
    void ShowMessage(EIcon, const std::string&) override {}
    bool WaitForStopConfirmation(const std::function<bool()>&) override { return true; }
};

TMessages On(const TMessages& messages, const std::string& topic) {
    TMessages selected;
    std::copy_if(messages.begin(), messages.end(), std::back_inserter(selected),
                 [&](const CTestSubscriber::TMessage& m) { return m.topic == topic; });
    return selected;
}

std::string LastState(const TMessages& messages) {
    const TMessages states = On(messages, kStateTopic);
    return states.empty() ? "" : states.back().payload;
}

// How a run ends: the dongle lost, or the stop sequence of an exit while measuring.
struct TEndCase {
    const char* name;
    bool deviceError;
    const char* state;
};

void PrintTo(const TEndCase& c, std::ostream* out) {
    *out << c.name;
}

class ControllerPublishingTest : public ::testing::TestWithParam<TEndCase> {
protected:
    static void SetUpTestSuite() { controller_test::EnsureCoreApplication(); }

    void SetUp() override {
        if (CTestBroker::Program().empty())
            GTEST_SKIP() << "mosquitto is not installed (scripts/setup.sh installs it)";
        testing_support::ResetTestHome();
        const uint16_t port = FreeLoopbackPort();
        testing_support::WriteFile(
            testing_support::TestHome() + "/Documents/Quillmark/Brisquent/Setup/define.ini",
            "[parameter]\r\nhid-vid=tcp\r\nhid-pid=" + std::to_string(port) + "\r\n");
        parameters.systemNumber = 5;
        parameters.polling = TPollingSetting::Fresh();
        parameters.polling.SetRateCode(1);  // 100 ms
        for (int unit = 1; unit <= 3; ++unit) parameters.polling.SetInUse(unit, true);
        parameters.thermocoupleType.fill(1);
        controller = std::make_unique<CMeasurementController>(parameters, view);

        TSimOptions options;
        std::string error;
        ASSERT_TRUE(ParseSimOptions({"--units", "1-3", "--sensor", "800", "--thermo", "0", "--jitter", "40",
                                     "--auto-info", "--auto-stop-notice"},
                                    options, error))
            << error;
        sim = std::make_unique<COppositeSession>(7);
        sim->WithEngine([&](COppositeEngine& engine) { ApplySimOptions(options, engine); });
        sim->SetServer("127.0.0.1", port);

        ASSERT_TRUE(broker.Start());
        ASSERT_TRUE(subscriber.Subscribe(broker.Port(), "hollowmere/#"));
        TMqttSettings settings;
        settings.url = broker.Url();
        ASSERT_TRUE(TMqttConnection::Resolve(settings, connection, error)) << error;
    }
    void TearDown() override {
        controller.reset();
        if (sim)
            sim->Stop();
    }

    VEK::TParameterSet parameters;
    CQuietView view;
    std::unique_ptr<CMeasurementController> controller;
    std::unique_ptr<COppositeSession> sim;
    CTestBroker broker;
    CTestSubscriber subscriber;
    TMqttConnection connection;
};

}  // namespace

// The short measurement publishes nothing; a run publishes every record it measured in order, and
// its state follows how it ended.
TEST_P(ControllerPublishingTest, RunEndsWithItsRecordsAndState) {
    const TEndCase& c = GetParam();
    int statusSignals = 0;
    QObject::connect(controller.get(), &CMeasurementSignals::publishStatusChanged, [&] { ++statusSignals; });
    controller->StartPublishing(connection, "controller_tests");
    ASSERT_TRUE(Pump(
        [&] {
            return statusSignals > 0 && controller->PublishStatus().state == TMqttStatus::EState::kConnected;
        },
        10000));
    EXPECT_EQ(controller->PublishStatus().Text(), "MQTT connected");
    controller->StartDeviceWatch();
    ASSERT_TRUE(sim->Start());
    ASSERT_TRUE(Pump([&] { return controller->IsConnected(); }, 10000));

    IShortMeasurementExecutable& shortRun = *controller;
    shortRun.Execute(true);
    ASSERT_TRUE(Pump([&] { return controller->Store().RecordCount() >= 15; }, 10000));
    shortRun.Execute(false);

    ASSERT_EQ(controller->StartMeasurement(TRunOptions{}), 0);
    const std::string working = controller->WorkingFilePath();
    ASSERT_TRUE(Pump([&] { return controller->Store().RecordsThisRun() >= 20; }, 10000));
    if (c.deviceError) {
        sim->Stop();
        ASSERT_TRUE(
            Pump([&] { return controller->RunState() == CMeasurementDataManager::kStateHolding; }, 5000));
    } else {
        controller->RunStopSequence();
        EXPECT_EQ(controller->RunState(), CMeasurementDataManager::kStateEmpty);
    }
    ASSERT_TRUE(subscriber.WaitFor([&](const TMessages& m) { return LastState(m) == c.state; }, 10s));

    const TMessages messages = subscriber.Messages();
    std::vector<std::string> states;
    for (const CTestSubscriber::TMessage& m : On(messages, kStateTopic)) states.push_back(m.payload);
    EXPECT_EQ(states, (std::vector<std::string>{"idle", "measuring", c.state}));
    const TMessages records = On(messages, kRecordTopic);
    ASSERT_GE(records.size(), 20u);
    for (size_t i = 0; i < records.size(); ++i) EXPECT_EQ(RecordNumberOf(records[i].payload), long(i + 1));
    if (c.deviceError) {
        // The working file got its final rows: the same records.
        const std::string text = testing_support::ReadFile(working);
        std::vector<std::string> rows;
        for (size_t at = 0, end; (end = text.find("\r\n", at)) != std::string::npos; at = end + 2)
            rows.push_back(text.substr(at, end - at));
        rows.erase(rows.begin(), rows.begin() + 14);
        ASSERT_GE(rows.size(), records.size());
        for (size_t i = 0; i < records.size(); ++i)
            EXPECT_EQ(records[i].payload, PayloadOfDataRow(rows[i], 100, false)) << i;
    }
}

INSTANTIATE_TEST_SUITE_P(Ends, ControllerPublishingTest,
                         ::testing::Values(TEndCase{"DongleLost", true, "device error"},
                                           TEndCase{"StopSequenceWhileMeasuring", false, "finished"}),
                         [](const ::testing::TestParamInfo<TEndCase>& info) {
                             return std::string(info.param.name);
                         });
