// The publisher against a real broker on the loopback interface.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <thread>

#include "SilentBroker.h"
#include "TestBroker.h"
#include "TestSubscriber.h"
#include "publish/MqttPayload.h"
#include "publish/MqttPublisher.h"
#include "support/AppProcess.h"
#include "support/GuardedRecord.h"
#include "support/TestHome.h"

using namespace std::chrono_literals;
using testing_support::FileExists;
using testing_support::ReadFile;
using testing_support::TestHome;
using testing_support::WriteFile;
using TMessages = std::vector<CTestSubscriber::TMessage>;

namespace {

constexpr uint32_t kSystem = 5;
const std::string kRecordTopic = "hollowmere/5/record";
const std::string kStateTopic = "hollowmere/5/state";

// 20 channels at 100 ms, every one different.
TPublishRecord Record(uint32_t number) {
    TPublishRecord record;
    record.number = number;
    record.timeMs = 1709296496000 + int64_t{number} * 100;
    record.rateMs = 100;
    for (int k = 1; k <= 20; ++k) record.SetReading(k, static_cast<int16_t>(200 + number + k));
    if (number % 10 == 0)
        record.SetReading(3, kReadingLost);
    return record;
}

std::string Payload(const TPublishRecord& record) {
    return RecordPayload(record, LocalUtcOffsetSeconds(record.timeMs));
}

std::vector<CTestSubscriber::TMessage> On(const TMessages& messages, const std::string& topic) {
    TMessages selected;
    std::copy_if(messages.begin(), messages.end(), std::back_inserter(selected),
                 [&](const CTestSubscriber::TMessage& m) { return m.topic == topic; });
    return selected;
}

// Every record 1..count at least once, first seen in ascending order, each with its payload.
void ExpectEveryRecord(const TMessages& messages, uint32_t count) {
    uint32_t next = 1;
    for (const CTestSubscriber::TMessage& m : On(messages, kRecordTopic)) {
        const long number = RecordNumberOf(m.payload);
        ASSERT_GE(number, 1) << m.payload;
        ASSERT_LE(number, static_cast<long>(count)) << m.payload;
        EXPECT_EQ(m.payload, Payload(Record(static_cast<uint32_t>(number))));
        if (static_cast<uint32_t>(number) == next)
            ++next;
        else
            ASSERT_LT(static_cast<uint32_t>(number), next) << "record " << next << " missing or out of order";
    }
    EXPECT_EQ(next, count + 1) << "records from " << next << " missing";
}

bool HasRecords(const TMessages& messages, uint32_t count) {
    std::vector<bool> seen(count + 1, false);
    for (const CTestSubscriber::TMessage& m : On(messages, kRecordTopic)) {
        const long number = RecordNumberOf(m.payload);
        if (number >= 1 && number <= static_cast<long>(count))
            seen[static_cast<size_t>(number)] = true;
    }
    return std::count(seen.begin() + 1, seen.end(), true) == static_cast<long>(count);
}

bool LastStateIs(const TMessages& messages, const std::string& state) {
    const TMessages states = On(messages, kStateTopic);
    return !states.empty() && states.back().payload == state;
}

size_t Occurrences(const std::string& text, const std::string& part) {
    size_t count = 0;
    for (size_t pos = text.find(part); pos != std::string::npos; pos = text.find(part, pos + 1)) ++count;
    return count;
}

class PublisherBrokerTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (CTestBroker::Program().empty())
            GTEST_SKIP() << "mosquitto is not installed (scripts/setup.sh installs it)";
        m_spillFolder = m_broker.Folder() + "/work";
    }

    std::unique_ptr<CMqttPublisher> MakePublisher(const std::string& url, const std::string& user = "",
                                                  const std::string& passwordFile = "") {
        TMqttSettings settings;
        settings.url = url;
        settings.user = user;
        settings.passwordFile = passwordFile;
        TMqttConnection connection;
        std::string error;
        EXPECT_TRUE(TMqttConnection::Resolve(settings, connection, error)) << error;
        auto publisher = std::make_unique<CMqttPublisher>(connection, "publish_tests", kSystem);
        publisher->SetLog([this](const std::string& line) { m_log.Record([&] { m_lines += line + "\n"; }); });
        publisher->SetSpillFolder(m_spillFolder);
        return publisher;
    }

    bool WaitForState(CMqttPublisher& publisher, TMqttStatus::EState state) {
        return WaitUntil([&] { return publisher.Status().state == state; }, 15s);
    }

    std::string Log() { return m_log.Get(m_lines); }

    // The record numbers in the spill file.
    std::vector<long> SpilledNumbers(const std::string& path) {
        std::vector<long> numbers;
        const std::string text = ReadFile(path);
        for (size_t pos = text.find("\r\n"); pos != std::string::npos && pos + 2 < text.size();
             pos = text.find("\r\n", pos + 2)) {
            const size_t tab = text.find('\t', pos);
            EXPECT_EQ(text.substr(pos + 2, tab - pos - 2), kRecordTopic);
            numbers.push_back(RecordNumberOf(text.substr(tab + 1, text.find("\r\n", tab) - tab - 1)));
        }
        return numbers;
    }

    CTestBroker m_broker;
    std::string m_spillFolder;
    testing_support::CGuardedRecord m_log;
    std::string m_lines;
};

}  // namespace

TEST_F(PublisherBrokerTest, RecordsArriveInOrderWithTheirValuesAndTheStateFollows) {
    ASSERT_TRUE(m_broker.Start());
    CTestSubscriber subscriber;
    ASSERT_TRUE(subscriber.Subscribe(m_broker.Port(), "hollowmere/#"));
    auto publisher = MakePublisher(m_broker.Url());
    ASSERT_TRUE(publisher->Start());
    publisher->SetRunState(ERunState::kMeasuring);
    for (uint32_t n = 1; n <= 100; ++n) {
        publisher->Publish(Record(n));
        if (n % 10 == 0)
            std::this_thread::sleep_for(10ms);  // some records alone, some in bursts
    }
    publisher->SetRunState(ERunState::kFinished);
    ASSERT_TRUE(subscriber.WaitFor([](const TMessages& m) { return LastStateIs(m, "finished"); }, 15s));
    publisher->Stop(5s);
    // The channels' end-of-run values go out with the stop and may reach the subscriber after it.
    const std::string lastOfChannel3 =
        ChannelPayload(Record(100), 3, LocalUtcOffsetSeconds(Record(100).timeMs));
    ASSERT_TRUE(subscriber.WaitFor(
        [&](const TMessages& m) {
            const TMessages channel = On(m, "hollowmere/5/ch/3");
            return !channel.empty() && channel.back().payload == lastOfChannel3;
        },
        5s));

    const TMessages messages = subscriber.Messages();
    const TMessages records = On(messages, kRecordTopic);
    ASSERT_EQ(records.size(), 100u);  // no reconnect, so no duplicates
    for (uint32_t n = 1; n <= 100; ++n) EXPECT_EQ(records[n - 1].payload, Payload(Record(n)));
    // The state goes out after the records handed over before it.
    const auto finished = std::find_if(messages.begin(), messages.end(), [](const auto& m) {
        return m.topic == kStateTopic && m.payload == "finished";
    });
    const auto last = std::find_if(messages.begin(), messages.end(),
                                   [&](const auto& m) { return m.payload == records.back().payload; });
    EXPECT_LT(last - messages.begin(), finished - messages.begin());
    EXPECT_EQ(On(messages, kStateTopic).front().payload, "measuring");
    // Each channel's newest value.
    const TMessages channel3 = On(messages, "hollowmere/5/ch/3");
    ASSERT_FALSE(channel3.empty());
    EXPECT_EQ(channel3.back().payload, lastOfChannel3);
    EXPECT_TRUE(On(messages, "hollowmere/5/ch/21").empty());

    const TMqttStatus status = publisher->Status();
    EXPECT_EQ(status.state, TMqttStatus::EState::kStopped);
    EXPECT_EQ(status.delivered, 100u);
    EXPECT_EQ(status.waiting, 0u);
    EXPECT_FALSE(FileExists(publisher->SpillPath()));
    EXPECT_EQ(Occurrences(Log(), "に接続しました"), 1u) << Log();

    // A clean end keeps the state: a late subscriber sees "finished", not the last will.
    CTestSubscriber late;
    ASSERT_TRUE(late.Subscribe(m_broker.Port(), "hollowmere/5/state"));
    ASSERT_TRUE(late.WaitFor([](const TMessages& m) { return !m.empty(); }, 5s));
    EXPECT_EQ(late.Messages().front().payload, "finished");
    EXPECT_TRUE(late.Messages().front().retained);
}

TEST_F(PublisherBrokerTest, BrokerStoppedMidStreamMissesNoRecord) {
    ASSERT_TRUE(m_broker.Start("allow_anonymous true\npersistence true\npersistence_location " +
                               m_broker.Folder() + "/\n"));
    CTestSubscriber subscriber;
    ASSERT_TRUE(subscriber.Subscribe(m_broker.Port(), kRecordTopic, "publish-tests-subscriber"));
    auto publisher = MakePublisher(m_broker.Url());
    ASSERT_TRUE(publisher->Start());
    uint32_t n = 1;
    for (; n <= 30; ++n) {
        publisher->Publish(Record(n));
        std::this_thread::sleep_for(20ms);
    }
    ASSERT_TRUE(subscriber.WaitFor([](const TMessages& m) { return HasRecords(m, 20); }, 10s));
    m_broker.Stop();
    // Five seconds without a broker while the records go on at 100 ms.
    for (; n <= 80; ++n) {
        publisher->Publish(Record(n));
        std::this_thread::sleep_for(100ms);
    }
    EXPECT_EQ(publisher->Status().state, TMqttStatus::EState::kUnreachable);
    EXPECT_GT(publisher->Status().waiting, 40u);
    ASSERT_TRUE(m_broker.Start("allow_anonymous true\npersistence true\npersistence_location " +
                               m_broker.Folder() + "/\n"));
    for (; n <= 100; ++n) {
        publisher->Publish(Record(n));
        std::this_thread::sleep_for(20ms);
    }
    ASSERT_TRUE(subscriber.WaitFor([](const TMessages& m) { return HasRecords(m, 100); }, 30s));
    ExpectEveryRecord(subscriber.Messages(), 100);
    publisher->Stop(5s);
    EXPECT_EQ(publisher->Status().waiting, 0u);
    const std::string log = Log();
    EXPECT_EQ(Occurrences(log, "に接続できません"), 1u) << log;
    EXPECT_EQ(Occurrences(log, "に接続しました"), 2u) << log;
}

TEST_F(PublisherBrokerTest, WithoutABrokerTheSpillFileKeepsEveryRecordUntilOneAppears) {
    const uint16_t port = m_broker.Port();  // nobody listens yet
    auto publisher = MakePublisher("mqtt://127.0.0.1:" + std::to_string(port));
    ASSERT_TRUE(publisher->Start());
    publisher->SetRunState(ERunState::kMeasuring);
    for (uint32_t n = 1; n <= 100; ++n) publisher->Publish(Record(n));
    ASSERT_TRUE(WaitForState(*publisher, TMqttStatus::EState::kUnreachable));
    ASSERT_TRUE(WaitUntil([&] { return publisher->Status().waiting == 100; }, 5s));
    publisher->Stop(5s);  // no connection to drain: ends at once
    const std::string spill = publisher->SpillPath();
    EXPECT_EQ(spill, m_spillFolder + "/mqtt-publish_tests-5.spill");
    std::vector<long> expected(100);
    for (long i = 0; i < 100; ++i) expected[static_cast<size_t>(i)] = i + 1;
    EXPECT_EQ(SpilledNumbers(spill), expected);
    EXPECT_EQ(publisher->Status().spilled, 100u);
    EXPECT_NE(Log().find("MQTT の未送信 100 件を送信待ちファイル[" + spill + "]に保存しました。"),
              std::string::npos)
        << Log();
    publisher.reset();

    // The next publisher finds the broker and sends the spilled records first.
    ASSERT_TRUE(m_broker.Start());
    CTestSubscriber subscriber;
    ASSERT_TRUE(subscriber.Subscribe(port, kRecordTopic));
    auto next = MakePublisher(m_broker.Url());
    ASSERT_TRUE(next->Start());
    next->Publish(Record(101));
    ASSERT_TRUE(subscriber.WaitFor([](const TMessages& m) { return HasRecords(m, 101); }, 15s));
    ExpectEveryRecord(subscriber.Messages(), 101);
    ASSERT_TRUE(WaitUntil([&] { return next->Status().waiting == 0; }, 5s));
    EXPECT_FALSE(FileExists(spill));
}

// The broker is back between two attempts when the publisher stops: one more attempt delivers
// what waits instead of leaving it in the spill file.
TEST_F(PublisherBrokerTest, StopBetweenAttemptsTriesOnceMoreBeforeSpilling) {
    auto publisher = MakePublisher(m_broker.Url());  // nobody listens yet
    ASSERT_TRUE(publisher->Start());
    for (uint32_t n = 1; n <= 10; ++n) publisher->Publish(Record(n));
    publisher->SetRunState(ERunState::kFinished);
    ASSERT_TRUE(WaitForState(*publisher, TMqttStatus::EState::kUnreachable));
    // The next attempt is a second after the first failed.
    ASSERT_TRUE(m_broker.Start());
    CTestSubscriber subscriber;
    ASSERT_TRUE(subscriber.Subscribe(m_broker.Port(), "hollowmere/#"));
    publisher->Stop(5s);
    EXPECT_EQ(publisher->Status().waiting, 0u) << publisher->Status().Text();
    EXPECT_FALSE(FileExists(publisher->SpillPath()));
    ASSERT_TRUE(subscriber.WaitFor([](const TMessages& m) { return LastStateIs(m, "finished"); }, 5s));
    ExpectEveryRecord(subscriber.Messages(), 10);
}

TEST_F(PublisherBrokerTest, LateSubscriberSeesRetainedStateValuesAndTheLastWill) {
    ASSERT_TRUE(m_broker.Start());
    const std::string output = m_broker.Folder() + "/probe.out";
    CAppProcess probe(CAppProcess::BinaryPath("publish_probe"), {m_broker.Url(), m_spillFolder}, output);
    ASSERT_TRUE(WaitUntil([&] { return ReadFile(output).find("ready") != std::string::npos; }, 15s))
        << ReadFile(output);

    CTestSubscriber late;
    ASSERT_TRUE(late.Subscribe(m_broker.Port(), "hollowmere/5/#"));
    ASSERT_TRUE(late.WaitFor(
        [](const TMessages& m) { return LastStateIs(m, "measuring") && !On(m, "hollowmere/5/ch/2").empty(); },
        5s));
    const TMessages retained = late.Messages();
    EXPECT_TRUE(On(retained, kStateTopic).back().retained);
    EXPECT_NE(On(retained, "hollowmere/5/ch/1").back().payload.find("\"value\":21.5"), std::string::npos);
    EXPECT_NE(On(retained, "hollowmere/5/ch/2").back().payload.find("\"status\":\"Lost\""),
              std::string::npos);
    EXPECT_TRUE(On(retained, kRecordTopic).empty());  // records are not retained

    // Gone without a goodbye: the broker publishes the will.
    probe.Signal(SIGKILL);
    probe.Wait(5s);
    ASSERT_TRUE(late.WaitFor([](const TMessages& m) { return LastStateIs(m, "offline"); }, 10s));
    CTestSubscriber later;
    ASSERT_TRUE(later.Subscribe(m_broker.Port(), kStateTopic));
    ASSERT_TRUE(later.WaitFor([](const TMessages& m) { return !m.empty(); }, 5s));
    EXPECT_EQ(later.Messages().front().payload, "offline");
    EXPECT_TRUE(later.Messages().front().retained);
}

TEST_F(PublisherBrokerTest, UserAndPasswordFromItsFileAndARefusalLoggedOnce) {
    const std::string config = m_broker.PasswordConfig("logger", "right-one");
    ASSERT_FALSE(config.empty());
    ASSERT_TRUE(m_broker.Start(config));
    const std::string passwordFile = m_broker.Folder() + "/client-password";
    WriteFile(passwordFile, "wrong-one\n");
    chmod(passwordFile.c_str(), 0600);

    auto refused = MakePublisher(m_broker.Url(), "logger", passwordFile);
    ASSERT_TRUE(refused->Start());
    refused->Publish(Record(1));
    ASSERT_TRUE(WaitForState(*refused, TMqttStatus::EState::kRefused));
    EXPECT_NE(refused->Status().reason.find("not authori"), std::string::npos) << refused->Status().reason;
    // A second attempt, refused again, is not logged again.
    ASSERT_TRUE(WaitUntil(
        [&] { return Occurrences(ReadFile(m_broker.Folder() + "/broker.log"), "not authorised") >= 2; },
        10s));
    EXPECT_EQ(Occurrences(Log(), "が接続を拒否しました"), 1u) << Log();
    EXPECT_EQ(refused->Status().waiting, 1u);
    refused->Stop(0ms);
    refused.reset();

    WriteFile(passwordFile, "right-one\n");
    auto accepted = MakePublisher(m_broker.Url(), "logger", passwordFile);
    ASSERT_TRUE(accepted->Start());
    ASSERT_TRUE(WaitForState(*accepted, TMqttStatus::EState::kConnected));
    // The refused publisher's record went to the spill file and now goes out.
    ASSERT_TRUE(WaitUntil([&] { return accepted->Status().delivered == 1; }, 10s));
    accepted->Stop(5s);
}

TEST_F(PublisherBrokerTest, TlsWithTheInstallationsCertificateAuthority) {
    const std::string config = m_broker.TlsConfig();
    if (config.empty())
        GTEST_SKIP() << "openssl could not make the test certificates";
    ASSERT_TRUE(m_broker.Start(config));
    const std::string url = "mqtts://127.0.0.1:" + std::to_string(m_broker.Port());

    // The system's authorities do not know the test's: the connection is not made.
    auto untrusted = MakePublisher(url);
    ASSERT_TRUE(untrusted->Start());
    untrusted->Publish(Record(1));
    ASSERT_TRUE(WaitForState(*untrusted, TMqttStatus::EState::kUnreachable));
    EXPECT_EQ(untrusted->Status().delivered, 0u);
    // The TLS library's own reason, not only that TLS failed.
    EXPECT_NE(untrusted->Status().reason.find("certificate verify failed"), std::string::npos)
        << untrusted->Status().reason;
    untrusted->Stop(0ms);
    untrusted.reset();

    TMqttSettings settings;
    settings.url = url;
    settings.caFile = m_broker.CaFile();
    TMqttConnection connection;
    std::string error;
    ASSERT_TRUE(TMqttConnection::Resolve(settings, connection, error)) << error;
    CMqttPublisher trusted(connection, "publish_tests", kSystem);
    trusted.SetLog([](const std::string&) {});
    trusted.SetSpillFolder(m_spillFolder);
    ASSERT_TRUE(trusted.Start());
    trusted.Publish(Record(2));
    // The spilled record of the untrusted attempt and this one.
    ASSERT_TRUE(WaitUntil([&] { return trusted.Status().delivered == 2; }, 10s)) << trusted.Status().Text();
    trusted.Stop(5s);
}

// A spill file holding a command for the plant: nothing goes to the plant's topics, nor to any
// topic but the publisher's record topic; the lines are dropped, told, and publishing goes on.
TEST_F(PublisherBrokerTest, SpillFileWithAPlantCommandPublishesNothingThere) {
    ASSERT_TRUE(m_broker.Start());
    CTestSubscriber plant;
    ASSERT_TRUE(plant.Subscribe(m_broker.Port(), "plant/#"));
    CTestSubscriber everything;
    ASSERT_TRUE(everything.Subscribe(m_broker.Port(), "#"));
    ASSERT_TRUE(std::filesystem::create_directories(m_spillFolder));
    chmod(m_spillFolder.c_str(), 0700);
    const std::string spill = m_spillFolder + "/mqtt-publish_tests-5.spill";
    WriteFile(spill,
              "Hollowmere-MQTT-Spill,1.00,0000000000042\r\n"
              "hollowmere/5/+\t" +
                  Payload(Record(1)) +
                  "\r\n"  // the library refuses it
                  "plant/line3/valve7/cmd\tOPEN\r\n" +
                  kRecordTopic + "\t" + Payload(Record(1)) + "\r\n");
    chmod(spill.c_str(), 0600);

    auto publisher = MakePublisher(m_broker.Url());
    ASSERT_TRUE(publisher->Start());
    publisher->Publish(Record(2));
    ASSERT_TRUE(everything.WaitFor([](const TMessages& m) { return HasRecords(m, 2); }, 15s))
        << publisher->Status().Text();
    publisher->Stop(5s);
    ExpectEveryRecord(everything.Messages(), 2);
    for (const CTestSubscriber::TMessage& m : everything.Messages())
        EXPECT_EQ(m.topic.rfind("hollowmere/5/", 0), 0u) << m.topic;
    EXPECT_TRUE(plant.Messages().empty());
    const TMqttStatus status = publisher->Status();
    EXPECT_EQ(status.dropped, 2u);
    EXPECT_NE(status.Text().find("2 dropped (lines of the spill file that are not records"),
              std::string::npos)
        << status.Text();
    EXPECT_NE(Log().find("MQTT の記録 2 件を送らずに捨てました"), std::string::npos) << Log();
    EXPECT_FALSE(FileExists(spill));
}

// A message the library refuses (here every record: a prefix that leaves the state topic just
// within the longest topic and the record topic one byte beyond, which the settings check would
// have turned away) is dropped and told, instead of stopping every later one while the status
// says "connected".
TEST_F(PublisherBrokerTest, MessagesTheLibraryRefusesAreDroppedAndTold) {
    ASSERT_TRUE(m_broker.Start());
    TMqttConnection connection;
    std::string error;
    ASSERT_TRUE(TMqttEndpoint::Parse(m_broker.Url(), connection.endpoint, error)) << error;
    connection.prefix = std::string(65535 - std::string("/5/state").size(), 'h');
    CMqttPublisher publisher(connection, "publish_tests", kSystem);
    publisher.SetLog([this](const std::string& line) { m_log.Record([&] { m_lines += line + "\n"; }); });
    publisher.SetSpillFolder(m_spillFolder);
    ASSERT_TRUE(publisher.Start());
    for (uint32_t n = 1; n <= 3; ++n) publisher.Publish(Record(n));
    ASSERT_TRUE(
        WaitUntil([&] { return publisher.Status().dropped == 3 && publisher.Status().waiting == 0; }, 15s))
        << publisher.Status().Text();
    const TMqttStatus status = publisher.Status();
    EXPECT_EQ(status.delivered, 0u);
    EXPECT_NE(status.Text().find("3 dropped (the MQTT library refused it: "), std::string::npos)
        << status.Text();
    publisher.Stop(1s);
    EXPECT_FALSE(FileExists(publisher.SpillPath()));
}

// A broker that takes the connection and then never acknowledges a message: the connection is
// given up after the time-out, said so, and made anew.
TEST_F(PublisherBrokerTest, BrokerThatNeverAcknowledgesIsLeftAndTriedAgain) {
    CSilentBroker silent(true);
    ASSERT_NE(silent.Port(), 0);
    auto publisher = MakePublisher(silent.Url());
    ASSERT_TRUE(publisher->Start());
    publisher->Publish(Record(1));
    ASSERT_TRUE(WaitForState(*publisher, TMqttStatus::EState::kConnected));
    ASSERT_TRUE(WaitUntil([&] { return publisher->Status().state == TMqttStatus::EState::kUnreachable; },
                          std::chrono::milliseconds(CMqttPublisher::kAcknowledgeTimeoutMs) + 5s))
        << publisher->Status().Text();
    EXPECT_NE(publisher->Status().reason.find("no acknowledgement from the broker"), std::string::npos)
        << publisher->Status().reason;
    ASSERT_TRUE(WaitUntil([&] { return silent.Connections() >= 2; }, 10s));
    publisher->Stop(0ms);
    EXPECT_EQ(publisher->Status().waiting, 1u);
    EXPECT_EQ(SpilledNumbers(publisher->SpillPath()), std::vector<long>{1});
}

// A broker that never answers the connect, and an hour of records at 100 ms waiting in memory:
// the stop is over within its drain and a few seconds, every record in the spill file in order.
TEST_F(PublisherBrokerTest, StopWithASilentBrokerAndAnHourWaitingSpillsEveryRecord) {
    CSilentBroker silent(false);
    auto publisher = MakePublisher(silent.Url());
    ASSERT_TRUE(publisher->Start());
    constexpr uint32_t kHour = 36'000;
    for (uint32_t n = 1; n <= kHour; ++n) publisher->Publish(Record(n));
    ASSERT_TRUE(WaitUntil([&] { return publisher->Status().waiting == kHour; }, 30s));
    EXPECT_EQ(publisher->Status().spilled, 0u);  // up to a day at the rate stays in memory
    publisher->Stop(1s);
    const std::string spill = publisher->SpillPath();
    publisher.reset();  // joins the thread
    const std::vector<long> numbers = SpilledNumbers(spill);
    ASSERT_EQ(numbers.size(), kHour);
    for (uint32_t n = 1; n <= kHour; ++n) ASSERT_EQ(numbers[n - 1], static_cast<long>(n));
}
