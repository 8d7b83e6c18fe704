// hollowmere-record publishing to a mosquitto broker of the test's own while it records from
// hollowmere-sim: the subscriber's records against the data file the recorder saved.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <thread>

#include "DataRowRecord.h"  // tests/publish
#include "RecordRunFixture.h"
#include "SilentBroker.h"
#include "TestBroker.h"
#include "TestSubscriber.h"
#include "publish/MqttPayload.h"

namespace {

using record_e2e::CRecordRunFixture;
using record_e2e::Lines;
using TMessages = std::vector<CTestSubscriber::TMessage>;
using testing_support::ReadFile;
using testing_support::WriteFile;
using namespace std::chrono_literals;

const std::string kRecordTopic = "hollowmere/5/record";
const std::string kStateTopic = "hollowmere/5/state";
// The broker keeps its sessions over a restart, so that the test's subscriber misses nothing.
const std::string kPersistentBroker = "allow_anonymous true\npersistence true\npersistence_location ";

TMessages On(const TMessages& messages, const std::string& topic) {
    TMessages selected;
    std::copy_if(messages.begin(), messages.end(), std::back_inserter(selected),
                 [&](const CTestSubscriber::TMessage& m) { return m.topic == topic; });
    return selected;
}

std::vector<std::string> States(const TMessages& messages) {
    std::vector<std::string> states;
    for (const CTestSubscriber::TMessage& m : On(messages, kStateTopic)) states.push_back(m.payload);
    return states;
}

bool HasRecords(const TMessages& messages, long count) {
    std::vector<bool> seen(static_cast<size_t>(count) + 1, false);
    for (const CTestSubscriber::TMessage& m : On(messages, kRecordTopic)) {
        const long number = RecordNumberOf(m.payload);
        if (number >= 1 && number <= count)
            seen[static_cast<size_t>(number)] = true;
    }
    return std::count(seen.begin() + 1, seen.end(), true) == count;
}

class RecordPublishEndToEndTest : public CRecordRunFixture {
protected:
    void SetUp() override {
        if (CTestBroker::Program().empty())
            GTEST_SKIP() << "mosquitto is not installed (scripts/setup.sh installs it)";
        CRecordRunFixture::SetUp();
        WriteLastone("100msec", 3);
    }

    // Units 1 to 3 at 100 ms with readings that differ from record to record.
    std::unique_ptr<CAppProcess> StartJitteringSim() { return StartSim({"--jitter", "40"}); }
    // The payloads the data file's rows stand for, by record number from 1.
    std::vector<std::string> FilePayloads(const std::string& path, uint32_t rateMs) const {
        std::vector<std::string> payloads;
        for (const std::string& row : DataRows(ReadFile(path)))
            payloads.push_back(PayloadOfDataRow(row, rateMs, false));
        return payloads;
    }
    // Every record of the file reached the subscriber: first seen in ascending order, any repeat
    // with its own number, each with the file's payload.
    static void ExpectEveryRecordOfTheFile(const TMessages& messages, const std::vector<std::string>& file) {
        size_t next = 1;
        for (const CTestSubscriber::TMessage& m : On(messages, kRecordTopic)) {
            const long number = RecordNumberOf(m.payload);
            ASSERT_GE(number, 1) << m.payload;
            ASSERT_LE(static_cast<size_t>(number), file.size()) << m.payload;
            EXPECT_EQ(m.payload, file[static_cast<size_t>(number) - 1]);
            if (static_cast<size_t>(number) == next)
                ++next;
            else
                ASSERT_LT(static_cast<size_t>(number), next)
                    << "record " << next << " missing or out of order";
        }
        EXPECT_EQ(next, file.size() + 1) << "records from " << next << " missing";
    }

    CTestBroker m_broker;
};

}  // namespace

// A hundred records at 100 ms reach the subscriber once each, in order, with the values of the
// saved file; the state goes idle, measuring, finished, and stays there for a late subscriber,
// with every channel's newest value.
TEST_F(RecordPublishEndToEndTest, EveryRecordOfTheRunWithTheFilesValues) {
    ASSERT_TRUE(m_broker.Start());
    CTestSubscriber subscriber;
    ASSERT_TRUE(subscriber.Subscribe(m_broker.Port(), "hollowmere/#"));
    auto sim = StartJitteringSim();
    auto recorder = StartRecorder({"--records", "100", "--out", dataFile, "--mqtt", m_broker.Url()});
    EXPECT_EQ(recorder->Wait(60s), 0) << RecorderOutput();
    StopSim(*sim);

    const std::vector<std::string> file = FilePayloads(dataFile, 100);
    ASSERT_EQ(file.size(), 100u);
    ASSERT_TRUE(subscriber.WaitFor([](const TMessages& m) { return HasRecords(m, 100); }, 10s));
    const TMessages messages = subscriber.Messages();
    EXPECT_EQ(On(messages, kRecordTopic).size(), 100u);  // no reconnect, so no repeats
    ExpectEveryRecordOfTheFile(messages, file);
    EXPECT_EQ(States(messages), (std::vector<std::string>{"idle", "measuring", "finished"}));
    EXPECT_NE(RecorderOutput().find("hollowmere-record: MQTT connected"), std::string::npos)
        << RecorderOutput();
    // The summary ends with the broker's last state and what waits for the next start.
    EXPECT_NE(RecorderOutput().find("\nbroker: MQTT connected\nspill file: 0 records wait\n"),
              std::string::npos)
        << RecorderOutput();

    CTestSubscriber late;
    ASSERT_TRUE(late.Subscribe(m_broker.Port(), "hollowmere/5/#"));
    ASSERT_TRUE(late.WaitFor([](const TMessages& m) { return m.size() >= 4; }, 5s));
    const TMessages retained = late.Messages();
    ASSERT_EQ(States(retained), std::vector<std::string>{"finished"});
    EXPECT_TRUE(On(retained, kStateTopic)[0].retained);
    const TPublishRecord last = RecordOfDataRow(DataRows(ReadFile(dataFile)).back(), 100, false);
    for (int channel = 1; channel <= 3; ++channel) {
        const TMessages values = On(retained, "hollowmere/5/ch/" + std::to_string(channel));
        ASSERT_EQ(values.size(), 1u) << channel;
        EXPECT_EQ(values[0].payload, ChannelPayload(last, channel, LocalUtcOffsetSeconds(last.timeMs)));
    }
}

// The broker is gone for five seconds in the middle of the run: every record still arrives, a
// repeat only with its own record number.
TEST_F(RecordPublishEndToEndTest, BrokerStoppedForFiveSecondsMissesNoRecord) {
    const std::string config = kPersistentBroker + m_broker.Folder() + "/\n";
    ASSERT_TRUE(m_broker.Start(config));
    CTestSubscriber subscriber;
    ASSERT_TRUE(subscriber.Subscribe(m_broker.Port(), kRecordTopic, "e2e-subscriber"));
    auto sim = StartJitteringSim();
    auto recorder = StartRecorder({"--records", "100", "--out", dataFile, "--mqtt", m_broker.Url()});
    ASSERT_TRUE(subscriber.WaitFor([](const TMessages& m) { return HasRecords(m, 20); }, 30s))
        << RecorderOutput();
    m_broker.Stop();
    std::this_thread::sleep_for(5s);
    ASSERT_TRUE(m_broker.Start(config));
    EXPECT_EQ(recorder->Wait(60s), 0) << RecorderOutput();
    StopSim(*sim);

    const std::vector<std::string> file = FilePayloads(dataFile, 100);
    ASSERT_EQ(file.size(), 100u);
    ASSERT_TRUE(subscriber.WaitFor([](const TMessages& m) { return HasRecords(m, 100); }, 20s))
        << RecorderOutput();
    ExpectEveryRecordOfTheFile(subscriber.Messages(), file);
    // The loss was told; at the end nothing waits (the records may go out before or at the stop).
    const std::string output = RecorderOutput();
    EXPECT_NE(output.find("hollowmere-record: MQTT unreachable"), std::string::npos) << output;
    EXPECT_NE(output.find("hollowmere-record: MQTT stopped\n"), std::string::npos) << output;
}

// Nobody ever listens where the broker should be: the run and its file are complete, and the spill
// file beside the working files holds every record for the next start.
TEST_F(RecordPublishEndToEndTest, BrokerNeverReachableSpillsEveryRecord) {
    auto sim = StartJitteringSim();
    auto recorder = StartRecorder({"--records", "50", "--out", dataFile, "--mqtt", m_broker.Url()});
    EXPECT_EQ(recorder->Wait(60s), 0) << RecorderOutput();
    StopSim(*sim);

    const std::vector<std::string> file = FilePayloads(dataFile, 100);
    ASSERT_EQ(file.size(), 50u);
    const std::vector<std::string> spill =
        Lines(ReadFile(root + "/Data/work/mqtt-hollowmere-record-5.spill"), "\r\n");
    ASSERT_EQ(spill.size(), 1u + 50u);  // the header line, then one line per record
    for (size_t i = 0; i < 50; ++i) EXPECT_EQ(spill[i + 1], kRecordTopic + "\t" + file[i]);
    const std::string output = RecorderOutput();
    EXPECT_NE(output.find("hollowmere-record: MQTT unreachable (Connection refused)"), std::string::npos)
        << output;
    EXPECT_NE(output.find("hollowmere-record: MQTT stopped, 50 waiting, 50 in spill file"), std::string::npos)
        << output;
    EXPECT_NE(output.find("\nbroker: MQTT unreachable (Connection refused)"), std::string::npos) << output;
    EXPECT_NE(output.find("\nspill file: 50 records wait\n"), std::string::npos) << output;
}

// A broker that takes the connection and never answers: the run ends and the recorder exits as
// without a broker, every record in the spill file.
TEST_F(RecordPublishEndToEndTest, BrokerThatNeverAnswersHoldsNothingUp) {
    CSilentBroker silent(false);
    auto sim = StartJitteringSim();
    auto recorder = StartRecorder({"--records", "50", "--out", dataFile, "--mqtt", silent.Url()});
    EXPECT_EQ(recorder->Wait(60s), 0) << RecorderOutput();
    StopSim(*sim);
    const std::vector<std::string> file = FilePayloads(dataFile, 100);
    ASSERT_EQ(file.size(), 50u);
    const std::vector<std::string> spill =
        Lines(ReadFile(root + "/Data/work/mqtt-hollowmere-record-5.spill"), "\r\n");
    ASSERT_EQ(spill.size(), 1u + 50u);
    for (size_t i = 0; i < 50; ++i) EXPECT_EQ(spill[i + 1], kRecordTopic + "\t" + file[i]);
    EXPECT_NE(RecorderOutput().find("hollowmere-record: MQTT stopped, 50 waiting, 50 in spill file"),
              std::string::npos)
        << RecorderOutput();
}

// The recorder dies without a goodbye: a subscriber that comes later sees the last will.
TEST_F(RecordPublishEndToEndTest, LateSubscriberSeesTheStateThenTheLastWill) {
    ASSERT_TRUE(m_broker.Start());
    auto sim = StartJitteringSim();
    auto recorder = StartRecorder({"--records", "1000", "--out", dataFile, "--mqtt", m_broker.Url()});
    ASSERT_TRUE(WaitUntil([&] { return RecorderOutput().find("measuring") != std::string::npos; }, 30s))
        << RecorderOutput();
    CTestSubscriber late;
    ASSERT_TRUE(late.Subscribe(m_broker.Port(), kStateTopic));
    ASSERT_TRUE(late.WaitFor([](const TMessages& m) { return !m.empty(); }, 5s));
    EXPECT_EQ(late.Messages()[0].payload, "measuring");
    EXPECT_TRUE(late.Messages()[0].retained);
    recorder->Signal(SIGKILL);
    recorder->Wait(10s);
    StopSim(*sim);

    CTestSubscriber later;
    ASSERT_TRUE(later.Subscribe(m_broker.Port(), kStateTopic));
    ASSERT_TRUE(later.WaitFor([](const TMessages& m) { return !m.empty(); }, 10s));
    EXPECT_EQ(later.Messages()[0].payload, "offline");
    EXPECT_TRUE(later.Messages()[0].retained);
}

// Settings the recorder refuses before it starts anything, each with its message.
struct TRefusalCase {
    const char* name;
    std::string defineExtra;  // PASSWORD stands for the password file's path, FIFO for a FIFO's
    std::vector<std::string> args;
    const char* message;
    mode_t passwordMode = 0644;
};

void PrintTo(const TRefusalCase& c, std::ostream* out) {
    *out << c.name;
}

class RecordPublishRefusalTest : public RecordPublishEndToEndTest,
                                 public ::testing::WithParamInterface<TRefusalCase> {};

TEST_P(RecordPublishRefusalTest, EndsWithStatus2AndTheReason) {
    const TRefusalCase& c = GetParam();
    const std::string passwordFile = Path("mqtt-password");
    WriteFile(passwordFile, "secret\n");
    chmod(passwordFile.c_str(), c.passwordMode);
    const std::string fifo = Path("mqtt-fifo");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    std::string define = c.defineExtra;
    if (const size_t at = define.find("PASSWORD"); at != std::string::npos)
        define.replace(at, 8, passwordFile);
    if (const size_t at = define.find("FIFO"); at != std::string::npos)
        define.replace(at, 4, fifo);
    WriteDefine(define);
    std::vector<std::string> args = c.args;
    args.insert(args.end(), {"--records", "5", "--out", dataFile});
    auto recorder = StartRecorder(args);
    EXPECT_EQ(recorder->Wait(20s), 2) << RecorderOutput();
    EXPECT_NE(RecorderOutput().find(c.message), std::string::npos) << RecorderOutput();
    EXPECT_FALSE(testing_support::FileExists(dataFile));
}

INSTANTIATE_TEST_SUITE_P(
    Settings, RecordPublishRefusalTest,
    ::testing::Values(
        TRefusalCase{
            "PasswordFileReadableByOthers",
            "mqtt-url=mqtt://127.0.0.1:1\r\nmqtt-user=logger\r\nmqtt-password-file=PASSWORD\r\n",
            {},
            "is readable by group or others (mode 0644); allow only its owner to read it (chmod 600)"},
        TRefusalCase{
            "PasswordFileWritableByOthers",
            "mqtt-url=mqtt://127.0.0.1:1\r\nmqtt-user=logger\r\nmqtt-password-file=PASSWORD\r\n",
            {},
            "is writable by group or others (mode 0622); allow only its owner to write it (chmod 600)",
            0622},
        // A FIFO would hold the start for good, past any SIGTERM.
        TRefusalCase{"PasswordFileIsAFifo",
                     "mqtt-url=mqtt://127.0.0.1:1\r\nmqtt-user=logger\r\nmqtt-password-file=FIFO\r\n",
                     {},
                     "cannot be read: it is not a regular file"},
        TRefusalCase{"CaFileIsAFifo",
                     "mqtt-url=mqtts://127.0.0.1:1\r\nmqtt-ca-file=FIFO\r\n",
                     {},
                     "hollowmere-record: MQTT CA file"},
        TRefusalCase{
            "BadUrlOnTheCommandLine",
            "",
            {"--mqtt", "http://127.0.0.1:1883"},
            "hollowmere-record: MQTT URL \"http://127.0.0.1:1883\" must begin with mqtt:// or mqtts://"},
        TRefusalCase{"WildcardPrefix",
                     "mqtt-url=mqtt://127.0.0.1:1\r\n",
                     {"--mqtt-prefix", "plant/#"},
                     "hollowmere-record: MQTT: the topic prefix \"plant/#\" holds a wildcard"}),
    [](const ::testing::TestParamInfo<TRefusalCase>& info) { return std::string(info.param.name); });
