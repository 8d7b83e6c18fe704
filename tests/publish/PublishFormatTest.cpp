#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "files/InifileAccessor.h"
#include "platform/Folders.h"
#include "publish/MqttConnection.h"
#include "publish/MqttPayload.h"
#include "publish/MqttStatus.h"
#include "publish/MqttTopics.h"
#include "support/TestHome.h"

using testing_support::TestHome;
using testing_support::WriteFile;

namespace {

constexpr int32_t kTokyo = 9 * 3600;
constexpr int32_t kNewfoundland = -(3 * 3600 + 30 * 60);
// 2024-03-01 12:34:56.789 UTC
constexpr int64_t kNoonMs = 1709296496789;

TPublishRecord MakeRecord(uint32_t number, std::initializer_list<std::pair<int, int16_t>> readings,
                          bool fahrenheit = false) {
    TPublishRecord record;
    record.number = number;
    record.timeMs = kNoonMs;
    record.rateMs = 1000;
    record.fahrenheit = fahrenheit;
    for (const auto& [channel, tenths] : readings) record.SetReading(channel, tenths);
    return record;
}

}  // namespace

TEST(MqttPayload, RecordTimeIsTheLocalTimeWithItsOffset) {
    struct TCase {
        int64_t ms;
        int32_t offset;
        const char* text;
    } cases[] = {
        {0, 0, "1970-01-01T00:00:00.000+00:00"},
        {-1, 0, "1969-12-31T23:59:59.999+00:00"},
        {kNoonMs, kTokyo, "2024-03-01T21:34:56.789+09:00"},
        {kNoonMs, kNewfoundland, "2024-03-01T09:04:56.789-03:30"},
        {kNoonMs + 12 * 3600000LL, kTokyo, "2024-03-02T09:34:56.789+09:00"},  // next local day
    };
    for (const TCase& c : cases) EXPECT_EQ(FormatRecordTime(c.ms, c.offset), c.text) << c.ms;
}

TEST(MqttPayload, RecordCarriesChannelsInUseWithMarkersAsNullAndStatus) {
    struct TCase {
        TPublishRecord record;
        int32_t offset;
        const char* json;
    } cases[] = {
        {MakeRecord(7, {{1, 250}, {2, -5}}), kTokyo,
         R"({"record":7,"time":"2024-03-01T21:34:56.789+09:00","rate_ms":1000,"unit":"C",)"
         R"("channels":{"1":25.0,"2":-0.5}})"},
        {MakeRecord(1, {{100, kReadingOutOfRange}, {3, kReadingLost}, {5, 1000}}, true), 0,
         R"({"record":1,"time":"2024-03-01T12:34:56.789+00:00","rate_ms":1000,"unit":"F",)"
         R"("channels":{"3":null,"5":100.0,"100":null},"status":{"3":"Lost","100":"Out Of Range"}})"},
        {MakeRecord(2, {}), 0,
         R"({"record":2,"time":"2024-03-01T12:34:56.789+00:00","rate_ms":1000,"unit":"C","channels":{}})"},
    };
    for (const TCase& c : cases) EXPECT_EQ(RecordPayload(c.record, c.offset), c.json);
}

// A record payload read back from a spill file: exactly the texts RecordPayload writes, nothing
// else, however close.
TEST(MqttPayload, RecordPayloadsReadBackExactlyAsWritten) {
    const TPublishRecord records[] = {
        MakeRecord(7, {{1, 250}, {2, -5}}),
        MakeRecord(1, {{100, kReadingOutOfRange}, {3, kReadingLost}, {5, 1000}}, true),
        MakeRecord(0, {}),
        MakeRecord(4294967295u, {{20, -2000}, {19, 13000}, {1, 0}}),
    };
    for (const int32_t offset : {0, kTokyo, kNewfoundland}) {
        for (const TPublishRecord& record : records) {
            const std::string payload = RecordPayload(record, offset);
            TPublishRecord read;
            ASSERT_TRUE(ParseRecordPayload(payload, read)) << payload;
            EXPECT_EQ(read, record) << payload;
        }
    }
    const std::string good = RecordPayload(MakeRecord(7, {{1, 250}, {2, kReadingLost}}), kTokyo);
    ASSERT_EQ(good, R"({"record":7,"time":"2024-03-01T21:34:56.789+09:00","rate_ms":1000,"unit":"C",)"
                    R"("channels":{"1":25.0,"2":null},"status":{"2":"Lost"}})");
    struct TCase {
        const char* name;
        std::string payload;
    } refused[] = {
        {"not JSON", "OPEN"},
        {"empty", ""},
        {"a blank", " " + good},
        {"trailing bytes", good + "x"},
        {"value of another form", std::string(good).replace(good.find("25.0"), 4, "25.00")},
        {"value without its tenth", std::string(good).replace(good.find("25.0"), 4, "25")},
        {"null without its status", std::string(good).substr(0, good.find(",\"status\"")) + "}"},
        {"status of a valid value", std::string(good).replace(good.find("{\"2\":\"Lost"), 4, "{\"1\"")},
        {"channel 101", std::string(good).replace(good.find("\"2\":null"), 3, "\"101\"")},
        {"channel 0", std::string(good).replace(good.find("\"2\":null"), 3, "\"0\"")},
        {"channels out of order",
         std::string(good).replace(good.find("\"1\":25.0,\"2\":null"), 17, "\"2\":null,\"1\":25.0")},
        {"unknown unit", std::string(good).replace(good.find("\"C\""), 3, "\"K\"")},
        {"a time that is no time", std::string(good).replace(good.find("21:34"), 5, "25:99")},
        {"record number beyond 32 bits",
         std::string(good).replace(good.find("\"record\":7"), 10, "\"record\":4294967296")},
        {"a key too many", std::string(good).replace(good.size() - 1, 1, ",\"x\":1}")},
    };
    for (const TCase& c : refused) {
        TPublishRecord read = MakeRecord(99, {});
        EXPECT_FALSE(ParseRecordPayload(c.payload, read)) << c.name << ": " << c.payload;
        EXPECT_EQ(read, MakeRecord(99, {})) << c.name;
    }
}

TEST(MqttPayload, ChannelValueAndStateTexts) {
    const TPublishRecord record = MakeRecord(9, {{4, 1234}, {6, kReadingLost}});
    EXPECT_EQ(ChannelPayload(record, 4, 0),
              R"({"record":9,"time":"2024-03-01T12:34:56.789+00:00","unit":"C","value":123.4})");
    EXPECT_EQ(
        ChannelPayload(record, 6, 0),
        R"({"record":9,"time":"2024-03-01T12:34:56.789+00:00","unit":"C","value":null,"status":"Lost"})");
    EXPECT_STREQ(RunStateText(ERunState::kMeasuring), "measuring");
    EXPECT_STREQ(RunStateText(ERunState::kFinished), "finished");
    EXPECT_STREQ(RunStateText(ERunState::kDeviceError), "device error");
    EXPECT_STREQ(RunStateText(ERunState::kIdle), "idle");
}

TEST(MqttTopics, TopicsBelowPrefixAndSystemNumber) {
    const CMqttTopics topics("plant/hall2", 5);
    EXPECT_EQ(topics.Record(), "plant/hall2/5/record");
    EXPECT_EQ(topics.State(), "plant/hall2/5/state");
    EXPECT_EQ(topics.Channel(12), "plant/hall2/5/ch/12");

    struct TCase {
        const char* prefix;
        bool valid;
    } cases[] = {{"hollowmere", true},
                 {"plant/hall 2", true},
                 {"", false},
                 {"a/+/b", false},
                 {"a#", false},
                 {"/a", false},
                 {"a/", false},
                 {"a//b", false},
                 {"a\tb", false},
                 // The library refuses such topics for every message.
                 {"plant/\xff", false},
                 {"caf\xc3\xa9", true}};
    for (const TCase& c : cases) {
        std::string reason;
        EXPECT_EQ(CMqttTopics::IsValidPrefix(c.prefix, reason), c.valid) << c.prefix;
        EXPECT_EQ(reason.empty(), c.valid) << c.prefix;
    }
    std::string reason;
    EXPECT_TRUE(CMqttTopics::IsValidPrefix(std::string(CMqttTopics::kLongestPrefix, 'a'), reason));
    EXPECT_FALSE(CMqttTopics::IsValidPrefix(std::string(CMqttTopics::kLongestPrefix + 1, 'a'), reason));
    EXPECT_NE(reason.find("longer than"), std::string::npos) << reason;
}

TEST(MqttEndpoint, UrlsGiveHostPortAndTls) {
    struct TCase {
        const char* url;
        const char* host;
        int port;
        bool tls;
    } cases[] = {
        {"mqtt://broker.plant.local", "broker.plant.local", 1883, false},
        {"mqtts://10.0.0.5", "10.0.0.5", 8883, true},
        {"MQTT://h:1884/", "h", 1884, false},
        {"mqtts://h:443", "h", 443, true},
        {"mqtt://[::1]:1999", "::1", 1999, false},
        {"mqtt://[fe80::1]", "fe80::1", 1883, false},
    };
    for (const TCase& c : cases) {
        TMqttEndpoint endpoint;
        std::string error;
        ASSERT_TRUE(TMqttEndpoint::Parse(c.url, endpoint, error)) << c.url << ": " << error;
        EXPECT_EQ(endpoint.host, c.host) << c.url;
        EXPECT_EQ(endpoint.port, c.port) << c.url;
        EXPECT_EQ(endpoint.tls, c.tls) << c.url;
    }
}

TEST(MqttEndpoint, BadUrlsAreRefusedWithTheReason) {
    struct TCase {
        const char* url;
        const char* reason;
    } cases[] = {
        {"tcp://h:1883", "must begin with mqtt:// or mqtts://"},
        {"h:1883", "must begin with"},
        {"mqtt://", "has no host"},
        {"mqtt://:1883", "has no host"},
        {"mqtt://h:0", "bad port"},
        {"mqtt://h:65536", "bad port"},
        {"mqtt://h:12x", "bad port"},
        {"mqtt://h:", "bad port"},
        {"mqtt://h:+5", "bad port"},
        {"mqtt://user:secret@h", "user information"},
        {"mqtt://h/plant", "has a path"},
        {"mqtt://[::1", "bad IPv6"},
        {"mqtt://[::1]x", "bad IPv6"},
        {"mqtt://bad host", "bad host name"},
    };
    for (const TCase& c : cases) {
        TMqttEndpoint endpoint;
        endpoint.host = "unchanged";
        std::string error;
        EXPECT_FALSE(TMqttEndpoint::Parse(c.url, endpoint, error)) << c.url;
        EXPECT_NE(error.find(c.reason), std::string::npos) << c.url << ": " << error;
        EXPECT_EQ(endpoint.host, "unchanged");
    }
}

TEST(MqttSettings, KeysOfDefineIniWithDefaults) {
    const std::string path = TestHome() + "/settings/define.ini";
    WriteFile(path,
              "[parameter]\r\nmqtt-url= mqtts://broker:8884 \r\nmqtt-user=logger\r\n"
              "mqtt-password-file=Secrets\\mqtt.txt\r\n");
    VEK::CInifileAccessor accessor(path);
    const TMqttSettings settings = TMqttSettings::Read(VEK::AccessorSection(&accessor, "parameter"));
    EXPECT_TRUE(settings.Enabled());
    EXPECT_EQ(settings.url, "mqtts://broker:8884");
    EXPECT_EQ(settings.prefix, "hollowmere");
    EXPECT_EQ(settings.user, "logger");
    EXPECT_EQ(settings.passwordFile, "Secrets\\mqtt.txt");

    WriteFile(path, "[parameter]\r\nmqtt-url=  \r\nmqtt-prefix=\r\n");
    const TMqttSettings blank = TMqttSettings::Read(VEK::AccessorSection(&accessor, "parameter"));
    EXPECT_FALSE(blank.Enabled());
    EXPECT_EQ(blank.prefix, "hollowmere");
    EXPECT_FALSE(TMqttSettings{}.Enabled());
}

TEST(MqttConnection, PasswordFileOnlyItsOwnerMayReadOrWrite) {
    const std::string path = TestHome() + "/secrets/mqtt-password";
    struct TCase {
        const char* content;
        mode_t mode;
        const char* password;  // null: refused
        const char* message;
    } cases[] = {
        {"s3cret\r\nsecond line\r\n", 0600, "s3cret", ""},
        {"pa ss\n", 0400, "pa ss", ""},
        {"s3cret\n", 0644, nullptr, "is readable by group or others (mode 0644); allow only its owner"},
        {"s3cret\n", 0640, nullptr, "(mode 0640)"},
        {"s3cret\n", 0604, nullptr, "(mode 0604)"},
        // Anyone who may write it may give the user's broker identity a password of theirs.
        {"s3cret\n", 0622, nullptr, "is writable by group or others (mode 0622); allow only its owner"},
        {"s3cret\n", 0602, nullptr, "(mode 0602)"},
        {"s3cret\n", 0620, nullptr, "(mode 0620)"},
        {"\r\nlater\r\n", 0600, nullptr, "holds no password on its first line"},
    };
    for (const TCase& c : cases) {
        unlink(path.c_str());
        WriteFile(path, c.content);
        chmod(path.c_str(), c.mode);
        std::string password = "before", error;
        EXPECT_EQ(TMqttConnection::ReadPasswordFile(path, password, error), c.password != nullptr)
            << c.content;
        EXPECT_EQ(password, c.password != nullptr ? c.password : "before");
        EXPECT_NE(error.find(c.message), std::string::npos) << error;
        if (c.password == nullptr) {
            EXPECT_NE(error.find(path), std::string::npos) << error;
        }
    }
    std::string password, error;
    EXPECT_FALSE(TMqttConnection::ReadPasswordFile(TestHome() + "/secrets/absent", password, error));
    EXPECT_NE(error.find("cannot be read"), std::string::npos) << error;
    // A FIFO would hold the caller (the window thread) until someone writes to it.
    const std::string fifo = TestHome() + "/secrets/fifo";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_FALSE(TMqttConnection::ReadPasswordFile(fifo, password, error));
    EXPECT_NE(error.find("it is not a regular file"), std::string::npos) << error;
    // Another user's file, however private: as root, a file given to a uid without an account.
    if (geteuid() == 0) {
        unlink(path.c_str());
        WriteFile(path, "s3cret\n");
        chmod(path.c_str(), 0600);
        ASSERT_EQ(chown(path.c_str(), 2999, 2999), 0);
        EXPECT_FALSE(TMqttConnection::ReadPasswordFile(path, password, error));
        EXPECT_NE(error.find("belongs to another user (uid 2999)"), std::string::npos) << error;
    }
}

TEST(MqttConnection, ResolveChecksEverySettingAndReadsThePassword) {
    const std::string documents = VEK::DocumentsFolder();
    WriteFile(documents + "/mqtt/pw", "topsecret\n");
    chmod((documents + "/mqtt/pw").c_str(), 0600);
    WriteFile(documents + "/mqtt/ca.pem", "-----BEGIN CERTIFICATE-----\n");
    ASSERT_EQ(mkfifo((documents + "/mqtt/fifo").c_str(), 0600), 0);

    TMqttSettings settings;
    settings.url = "mqtts://broker.local";
    settings.prefix = "plant/a";
    settings.user = "logger";
    settings.passwordFile = "mqtt\\pw";  // relative to the documents folder, as stored folders are
    settings.caFile = "mqtt/ca.pem";
    TMqttConnection connection;
    std::string error;
    ASSERT_TRUE(TMqttConnection::Resolve(settings, connection, error)) << error;
    EXPECT_EQ(connection.endpoint.port, 8883);
    EXPECT_EQ(connection.prefix, "plant/a");
    EXPECT_EQ(connection.password, "topsecret");
    EXPECT_EQ(connection.caFile, documents + "/mqtt/ca.pem");

    struct TCase {
        void (*change)(TMqttSettings&);
        const char* message;
    } cases[] = {
        {[](TMqttSettings& s) { s.url = "http://broker"; }, "must begin with"},
        {[](TMqttSettings& s) { s.prefix = "plant/#"; }, "wildcard"},
        {[](TMqttSettings& s) { s.user.clear(); }, "mqtt-password-file needs mqtt-user"},
        {[](TMqttSettings& s) { s.passwordFile = "mqtt/none"; }, "cannot be read"},
        {[](TMqttSettings& s) { s.passwordFile = "mqtt/fifo"; }, "it is not a regular file"},
        // The TLS library would wait on a FIFO in the publisher's thread, holding up the exit.
        {[](TMqttSettings& s) { s.caFile = "mqtt/fifo"; }, "MQTT CA file"},
        {[](TMqttSettings& s) { s.caFile = "mqtt/none.pem"; }, "cannot be read"},
    };
    for (const TCase& c : cases) {
        TMqttSettings changed = settings;
        c.change(changed);
        TMqttConnection untouched;
        error.clear();
        EXPECT_FALSE(TMqttConnection::Resolve(changed, untouched, error));
        EXPECT_NE(error.find(c.message), std::string::npos) << error;
        EXPECT_TRUE(untouched.endpoint.host.empty());
    }
}

TEST(MqttConnection, ClientIdNamesProgramHostAndSystem) {
    const std::string id = TMqttConnection::ClientId("hollowmere-record", 5);
    EXPECT_EQ(id.rfind("hollowmere-record@", 0), 0u) << id;
    EXPECT_EQ(id.substr(id.size() - 2), "/5") << id;
    EXPECT_GT(id.size(), std::string("hollowmere-record@/5").size()) << id;
}

TEST(MqttStatus, OneLineForTheFrontEnds) {
    TMqttStatus status;
    status.broker = "h:1883";
    EXPECT_EQ(status.Text(), "MQTT connecting");
    status.state = TMqttStatus::EState::kConnected;
    status.reason = "stale";
    EXPECT_EQ(status.Text(), "MQTT connected");
    status.state = TMqttStatus::EState::kUnreachable;
    status.reason = "Connection refused";
    status.waiting = 120;
    status.spilled = 40;
    EXPECT_EQ(status.Text(), "MQTT unreachable (Connection refused), 120 waiting, 40 in spill file");
    status.state = TMqttStatus::EState::kRefused;
    status.reason = "Connection Refused: not authorised.";
    status.waiting = status.spilled = 0;
    status.spillError = "disk full";
    EXPECT_EQ(status.Text(), "MQTT refused (Connection Refused: not authorised.), spill file: disk full");
    status.state = TMqttStatus::EState::kConnected;
    status.spillError.clear();
    status.dropped = 3;
    status.dropReason = "the MQTT library refused it: Malformed UTF-8";
    EXPECT_EQ(status.Text(), "MQTT connected, 3 dropped (the MQTT library refused it: Malformed UTF-8)");
}
