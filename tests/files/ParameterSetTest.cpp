#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "data/SamplingRate.h"
#include "files/CodeTables.h"
#include "files/DeviceSettings.h"
#include "files/InifileAccessor.h"
#include "files/ParameterSet.h"
#include "files/Settings.h"
#include "files/TraceLogger.h"
#include "support/TestHome.h"

using namespace VEK;
using testing_support::WriteFile;

namespace {

class ParameterSetTest : public ::testing::Test {
protected:
    std::string userPath = testing_support::TestHome() + "/ps/lastone.ini";
    std::string definePath = testing_support::TestHome() + "/ps/define.ini";
    CInifileAccessor lastone{userPath};
    CInifileAccessor define{definePath};
    AccessorSection user{&lastone, "user"};
    AccessorSection parameter{&define, "parameter"};
    TParameterSet set;

    void SetUp() override {
        std::remove(userPath.c_str());
        std::remove(definePath.c_str());
    }
    void Load(const std::string& userText, const std::string& parameterText = "") {
        WriteFile(userPath, "[user]\r\n" + userText);
        WriteFile(definePath, "[parameter]\r\n" + parameterText);
        ReadParameterSet(set, user, parameter);
    }
};

}  // namespace

TEST_F(ParameterSetTest, DefaultsWithoutUserSection) {
    ReadParameterSet(set, user, parameter);
    EXPECT_EQ(set.polling.RateCode(), 4);
    for (int ch = 1; ch <= 100; ++ch) {
        EXPECT_EQ(set.polling.UnitCode(ch), ch <= 10 ? 3 : 2) << ch;
        EXPECT_EQ(set.thermocoupleType[ch], 1);
        EXPECT_EQ(set.comment[ch], "");
    }
    EXPECT_EQ(set.systemNumber, 0u);
    EXPECT_EQ(set.visibleItemsSingle, 2);
    EXPECT_EQ(set.visibleItemsOnly, 3);
    EXPECT_EQ(set.temperatureUnit, 0u);
    EXPECT_EQ(set.commandTimeoutMs, 500u);
    EXPECT_EQ(set.commandRetries, 1u);
}

TEST_F(ParameterSetTest, ChannelTextsAndRates) {
    Load(
        "sample-intvl=30MIN\r\nchpt7=off,T\r\nchpt8=ON,t\r\nchpt12=maybe,X,\"c\"\r\nchpt3=\r\n"
        "chpt20=On,J,\"a,b\"\r\nchpt11=\r\n");
    EXPECT_EQ(set.polling.RateCode(), 4);  // 30min is not accepted
    EXPECT_EQ(set.polling.UnitCode(7), 2);
    EXPECT_EQ(set.thermocoupleType[7], 2);
    EXPECT_EQ(set.polling.UnitCode(8), 3);
    EXPECT_EQ(set.thermocoupleType[8], 1);  // type letters are exact
    EXPECT_EQ(set.polling.UnitCode(12), 2);
    EXPECT_EQ(set.comment[12], "c");
    EXPECT_EQ(set.polling.UnitCode(3), 3);
    EXPECT_EQ(set.polling.UnitCode(11), 2);
    EXPECT_EQ(set.thermocoupleType[20], 3);
    EXPECT_EQ(set.comment[20], "a,b");
    Load("sample-intvl=10min\r\n");
    EXPECT_EQ(set.polling.RateCode(), 13);
}

TEST_F(ParameterSetTest, ReplacementRules) {
    struct {
        const char* timeout;
        const char* retry;
        uint32_t wantTimeout;
        uint32_t wantRetry;
    } cases[] = {
        {"9", "0", 500, 0},      {"10", "100", 10, 100}, {"10000", "101", 10000, 1},
        {"10001", "-1", 500, 1}, {"-5", "", 500, 1},
    };
    for (const auto& c : cases) {
        Load("system-no=12abc\r\n",
             std::string("cmd-timeout=") + c.timeout + "\r\ncmd-retry=" + c.retry + "\r\n");
        EXPECT_EQ(set.commandTimeoutMs, c.wantTimeout) << c.timeout;
        EXPECT_EQ(set.commandRetries, c.wantRetry) << c.retry;
        EXPECT_EQ(set.systemNumber, 12u);
    }
    Load("system-no=abc\r\nvisibleitem-single=258\r\n");
    EXPECT_EQ(set.systemNumber, 0u);
    EXPECT_EQ(set.visibleItemsSingle, 2);  // low byte of 258
    Load("system-no=\r\n");
    EXPECT_EQ(set.systemNumber, 0u);
}

TEST_F(ParameterSetTest, WriteReadRoundTripAndUnchangedWriteKeepsFile) {
    Load("");
    set.systemNumber = 5;
    set.polling.SetInUse(15, true);
    set.thermocoupleType[15] = 3;
    set.comment[15] = "温度 probe";
    set.thermocoupleType[16] = 5;
    set.temperatureUnit = 1;
    ASSERT_TRUE(SaveUserSection(set, TGraphScaleSettings{"1min", "5", 20}, user));
    EXPECT_EQ(user.GetString("chpt15", ""), "ON,J,\"温度 probe\"");
    EXPECT_EQ(user.GetString("chpt16", ""), "OFF,unknown(0x05),\"\"");
    EXPECT_EQ(user.GetString("chpt1", ""), "ON,K,\"\"");
    EXPECT_EQ(user.GetString("sample-intvl", "absent"), "absent");
    EXPECT_EQ(ReadGraphScales(user), (TGraphScaleSettings{"1min", "5", 20}));

    TParameterSet back;
    ReadParameterSet(back, user, parameter);
    EXPECT_EQ(back.systemNumber, 5u);
    EXPECT_EQ(back.polling, set.polling);
    EXPECT_EQ(back.comment[15], "温度 probe");
    EXPECT_EQ(back.thermocoupleType[16], 1);
    EXPECT_EQ(back.temperatureUnit, 1u);

    ASSERT_TRUE(WriteParameterSet(back, user));  // channel 16 is now stored as type K
    struct stat before {
    }, after{};
    stat(userPath.c_str(), &before);
    ASSERT_TRUE(WriteParameterSet(back, user));
    stat(userPath.c_str(), &after);
    EXPECT_EQ(before.st_ino, after.st_ino);  // an atomic rewrite would replace the inode
}

TEST(SplitFields, Table) {
    struct {
        const char* text;
        std::vector<std::string> fields;
    } cases[] = {
        {"", {}},
        {"a,b,", {"a", "b", ""}},
        {"ON,K,\"x,y\"", {"ON", "K", "x,y"}},
        {"\"x\"y,z", {"\"x\"y", "z"}},
        {"\"a\"", {"a"}},
        {"\"open,b", {"\"open", "b"}},
        {",", {"", ""}},
        {"ON,K,\"say \"hi\"\"", {"ON", "K", "say \"hi\""}},
    };
    for (const auto& c : cases) EXPECT_EQ(SplitFields(c.text), c.fields) << c.text;
}

TEST(CodeTables, NamesAndCodes) {
    EXPECT_EQ(SamplingRateName(1), "100msec");
    EXPECT_EQ(SamplingRateName(16), "1hour");
    EXPECT_EQ(SamplingRateName(17), "");
    EXPECT_EQ(SamplingRateCode("1SEC"), 4);
    EXPECT_EQ(SamplingRateCode("3sec"), 0);
    EXPECT_EQ(SamplingPeriodMilliseconds(13), 600000u);
    EXPECT_EQ(SamplingPeriodMilliseconds(0), 0u);
    EXPECT_EQ(SamplingPeriodMilliseconds(17), 0u);
    EXPECT_EQ(RecordsPerSecond(2), 5u);
    EXPECT_EQ(RecordsPerSecond(5), 0u);
    EXPECT_EQ(ThermocoupleTypeName(2), "T");
    EXPECT_EQ(ThermocoupleTypeName(255), "unknown(0xFF)");
    EXPECT_EQ(ThermocoupleTypeFromText("Jx"), 3);
    EXPECT_EQ(ThermocoupleTypeFromText("j"), 1);
    EXPECT_EQ(TemperatureUnitName(1), "deg F");
    EXPECT_EQ(TemperatureUnitName(2), "*");
}

TEST_F(ParameterSetTest, DeviceSettings) {
    struct {
        const char* ini;
        bool tcp;
        uint16_t vendor, product;
        int port;
        int32_t recMax;
    } cases[] = {
        {"", false, 0x0000, 0x0006, 6, 2147483647},
        {"hid-vid=0x04D8\r\nhid-pid=012\r\nrec-max=5\r\n", false, 0x04D8, 10, 10, 5},
        {"hid-vid=tcp\r\nhid-pid=50000\r\n", true, 0, 50000, 50000, 2147483647},
        {"hid-vid=tcp\r\nhid-pid=99999\r\n", true, 0, 99999 & 0xFFFF, 0, 2147483647},
    };
    for (const auto& c : cases) {
        Load("", c.ini);
        TDeviceSettings s = TDeviceSettings::Read(parameter);
        EXPECT_EQ(s.UsesTcp(), c.tcp) << c.ini;
        EXPECT_EQ(s.VendorId(), c.vendor) << c.ini;
        EXPECT_EQ(s.ProductId(), c.product) << c.ini;
        EXPECT_EQ(s.TcpPort(), c.port) << c.ini;
        EXPECT_EQ(s.recordLimit, c.recMax) << c.ini;
        EXPECT_EQ(s.tcpAddress, "127.0.0.1");
    }
}

// "rec-max" outside 1 to 2^31 − 1 reads as the default, also where 32-bit truncation would have
// made a small limit of it; each replaced value is logged once however often it is read.
TEST_F(ParameterSetTest, RecordLimitRuleAndItsLogLine) {
    struct {
        const char* text;
        int32_t limit;
        bool replaced;
    } cases[] = {
        {"1", 1, false},
        {"2147483647", 2147483647, false},
        {"12abc", 12, false},
        {"0", 2147483647, true},
        {"-5", 2147483647, true},
        {"2147483648", 2147483647, true},
        {"4294967301", 2147483647, true},  // 2^32 + 5: truncated it would be 5
        {"x", 2147483647, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        Load("", std::string("rec-max=") + c.text + "\r\n");
        for (int read = 0; read < 3; ++read) EXPECT_EQ(TDeviceSettings::Read(parameter).recordLimit, c.limit);
    }
    // The log is written in order: once the marker is there, so is every line before it.
    const std::string marker = "rec-max table done " + testing_support::TestHome();
    TraceLogger().Trace("%s", marker.c_str());
    std::string log;
    for (int i = 0; i < 500 && log.find(marker) == std::string::npos; ++i) {
        usleep(10000);
        log = testing_support::ReadFile(LogFilePath());
    }
    ASSERT_NE(log.find(marker), std::string::npos);
    for (const auto& c : cases) {
        const std::string line =
            std::string("rec-max[") + c.text + "]は範囲外のため既定値 2147483647 を使います。";
        size_t count = 0;
        for (size_t at = log.find(line); at != std::string::npos; at = log.find(line, at + 1)) ++count;
        EXPECT_EQ(count, c.replaced ? 1u : 0u) << c.text;
    }
}
