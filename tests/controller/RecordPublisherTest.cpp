// The feed of the MQTT publisher from the record store, against a broker of the test's own: what
// goes out is what the working file holds.
#include <gtest/gtest.h>

#include <algorithm>

#include "DataRowRecord.h"  // tests/publish
#include "TestBroker.h"
#include "TestSubscriber.h"
#include "controller/RecordPublisher.h"
#include "data/MeasurementDataManager.h"
#include "data/Reading.h"
#include "data/TemperatureUnit.h"
#include "files/DataFileView.h"
#include "files/WorkingFile.h"
#include "support/TestHome.h"

using namespace std::chrono_literals;
using TMessages = std::vector<CTestSubscriber::TMessage>;

namespace {

TMessages On(const TMessages& messages, const std::string& topic) {
    TMessages selected;
    std::copy_if(messages.begin(), messages.end(), std::back_inserter(selected),
                 [&](const CTestSubscriber::TMessage& m) { return m.topic == topic; });
    return selected;
}

std::vector<std::string> Payloads(const TMessages& messages) {
    std::vector<std::string> payloads;
    for (const CTestSubscriber::TMessage& m : messages) payloads.push_back(m.payload);
    return payloads;
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2)
        lines.push_back(text.substr(start, end - start));
    return lines;
}

class RecordPublisherTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (CTestBroker::Program().empty())
            GTEST_SKIP() << "mosquitto is not installed (scripts/setup.sh installs it)";
        testing_support::ResetTestHome();
        ASSERT_TRUE(m_broker.Start());
        ASSERT_TRUE(m_subscriber.Subscribe(m_broker.Port(), "hollowmere/#"));
        TMqttSettings settings;
        settings.url = m_broker.Url();
        std::string error;
        ASSERT_TRUE(TMqttConnection::Resolve(settings, m_connection, error)) << error;
    }

    // A run at 1 s of channels 1, 2 and 4, started at a time with milliseconds.
    void StartRun(uint32_t temperatureUnit) {
        TMeasurementSetup setup;
        setup.systemNumber = 5;
        setup.pollingSetting.SetRateCode(4);
        for (int channel : {1, 2, 4}) setup.pollingSetting.SetInUse(channel, true);
        setup.temperatureUnit = temperatureUnit;
        m_store.Start(setup);
        VEK::CSystemTime start;
        ASSERT_TRUE(start.Parse("2026/03/01 12:34:56.700"));
        m_store.SetStartTime(start);
    }
    // Counts ticks up to the given number of records, each with its readings: channel k reads
    // 10 k + record index degrees, but record 3 of channel 2 is lost and record 4 of channel 4 out
    // of range.
    void MeasureUpTo(uint32_t records) {
        while (m_store.RecordsThisRun() < records) {
            const uint32_t i = m_store.RecordsThisRun();
            for (int channel : {1, 2, 4}) {
                int16_t tenths = static_cast<int16_t>(100 * channel + 10 * i + 5);
                if (channel == 2 && i == 3)
                    continue;
                if (channel == 4 && i == 4)
                    tenths = kReadingOutOfRange;
                CMeasurementDataManager::SetReading(m_store.Channel(channel), i, tenths);
            }
            m_store.AdvanceTick();
            m_store.SetRecordCount(i + 1);
        }
    }
    bool WaitForState(const std::string& topic, const std::string& state) {
        return m_subscriber.WaitFor(
            [&](const TMessages& m) {
                const TMessages states = On(m, topic);
                return !states.empty() && states.back().payload == state;
            },
            10s);
    }

    CTestBroker m_broker;
    CTestSubscriber m_subscriber;
    TMqttConnection m_connection;
    CMeasurementDataManager m_store;
};

}  // namespace

// Fed at the same moments as the working file, the publisher sends exactly the file's rows, each
// once, with their numbers, times (no milliseconds of the start time), unit and markers.
TEST_F(RecordPublisherTest, RecordsAreTheWorkingFilesRows) {
    CRecordPublisher publisher(m_connection, "record_publisher_tests");
    publisher.Follow(5);
    // The retained state is the newest: one handed over before the last went out is never seen.
    ASSERT_TRUE(WaitForState("hollowmere/5/state", "idle"));
    StartRun(kTemperatureUnitFahrenheit);
    VEK::CWorkingFile file;
    ASSERT_TRUE(file.Start(m_store, VEK::TDataFileView{}));
    publisher.RunStarted(m_store, 0);
    ASSERT_TRUE(WaitForState("hollowmere/5/state", "measuring"));
    for (uint32_t records : {3u, 6u, 9u}) {
        MeasureUpTo(records);
        file.Append(m_store, false);
        publisher.PublishComplete(m_store);
        // Four records (the lag at 1 s) wait for late reports.
        EXPECT_EQ(file.RowsWritten(), records >= 4 ? records - 4 : 0);
    }
    m_store.Stop();
    file.Append(m_store, true);
    publisher.RunEnded(m_store, ERunState::kFinished);
    ASSERT_TRUE(WaitForState("hollowmere/5/state", "finished"));
    publisher.Stop(5s);
    EXPECT_EQ(publisher.Status().delivered, 9u);

    const std::vector<std::string> lines = Lines(testing_support::ReadFile(file.Path()));
    ASSERT_EQ(lines.size(), 14u + 9u);
    std::vector<std::string> expected;
    for (size_t i = 14; i < lines.size(); ++i) expected.push_back(PayloadOfDataRow(lines[i], 1000, true));
    const TMessages messages = m_subscriber.Messages();
    EXPECT_EQ(Payloads(On(messages, "hollowmere/5/record")), expected);
    EXPECT_NE(expected[0].find("\"time\":\"2026-03-01T12:34:56.000"), std::string::npos) << expected[0];
    EXPECT_NE(expected[3].find("\"2\":null"), std::string::npos) << expected[3];
    EXPECT_NE(expected[4].find("\"status\":{\"4\":\"Out Of Range\"}"), std::string::npos) << expected[4];
    EXPECT_EQ(Payloads(On(messages, "hollowmere/5/state")),
              (std::vector<std::string>{"idle", "measuring", "finished"}));
}

// A run for a number of records publishes that many, whatever was counted after them; its end
// state is the one given; a run that was not started for publishing (the short measurement)
// changes nothing; a new system number publishes under its own topics.
TEST_F(RecordPublisherTest, RecordLimitEndStateAndSystemNumber) {
    CRecordPublisher publisher(m_connection, "record_publisher_tests");
    publisher.Follow(5);
    ASSERT_TRUE(WaitForState("hollowmere/5/state", "idle"));
    StartRun(kTemperatureUnitCelsius);
    publisher.RunStarted(m_store, 5);
    ASSERT_TRUE(WaitForState("hollowmere/5/state", "measuring"));
    MeasureUpTo(12);
    publisher.PublishComplete(m_store);
    m_store.Stop();
    publisher.RunEnded(m_store, ERunState::kDeviceError);
    ASSERT_TRUE(WaitForState("hollowmere/5/state", "device error"));

    StartRun(kTemperatureUnitCelsius);
    MeasureUpTo(6);
    publisher.PublishComplete(m_store);
    m_store.Stop();
    publisher.RunEnded(m_store, ERunState::kFinished);

    publisher.Follow(6);
    ASSERT_TRUE(WaitForState("hollowmere/6/state", "idle"));
    publisher.Stop(5s);
    const TMessages messages = m_subscriber.Messages();
    std::vector<long> numbers;
    for (const CTestSubscriber::TMessage& m : On(messages, "hollowmere/5/record"))
        numbers.push_back(RecordNumberOf(m.payload));
    EXPECT_EQ(numbers, (std::vector<long>{1, 2, 3, 4, 5}));
    EXPECT_NE(On(messages, "hollowmere/5/record")[0].payload.find("\"unit\":\"C\""), std::string::npos);
    // Leaving system 5 may let its "offline" arrive before the subscriber's copy is taken.
    std::vector<std::string> states = Payloads(On(messages, "hollowmere/5/state"));
    if (!states.empty() && states.back() == "offline")
        states.pop_back();
    EXPECT_EQ(states, (std::vector<std::string>{"idle", "measuring", "device error"}));
}

// A file that cannot be written goes to the retained topic "problem" at once, to a subscriber that
// comes later too, and a publisher for a new system number takes it along; once the files are
// fine again the retained message is cleared.
TEST_F(RecordPublisherTest, FileProblemIsRetainedUntilItEnds) {
    CRecordPublisher publisher(m_connection, "record_publisher_tests");
    publisher.Follow(5);
    ASSERT_TRUE(WaitForState("hollowmere/5/state", "idle"));
    const std::string problem = "Working file /w.csv cannot be written: No space left on device";
    publisher.ReportProblem(problem);
    ASSERT_TRUE(WaitForState("hollowmere/5/problem", problem));
    CTestSubscriber late;
    ASSERT_TRUE(late.Subscribe(m_broker.Port(), "hollowmere/5/problem"));
    ASSERT_TRUE(late.WaitFor([](const TMessages& m) { return !m.empty(); }, 5s));
    EXPECT_TRUE(late.Messages()[0].retained);
    EXPECT_EQ(late.Messages()[0].payload, problem);
    publisher.Follow(6);
    ASSERT_TRUE(WaitForState("hollowmere/6/problem", problem));
    publisher.ReportProblem("");
    ASSERT_TRUE(WaitForState("hollowmere/6/problem", ""));
    publisher.Stop(5s);
    CTestSubscriber afterwards;
    ASSERT_TRUE(afterwards.Subscribe(m_broker.Port(), "hollowmere/6/#"));
    // The retained messages come at once, together: the state's is there, the problem's is gone.
    ASSERT_TRUE(
        afterwards.WaitFor([](const TMessages& m) { return !On(m, "hollowmere/6/state").empty(); }, 5s));
    EXPECT_TRUE(On(afterwards.Messages(), "hollowmere/6/problem").empty());
}
