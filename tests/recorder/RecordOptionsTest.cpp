#include <gtest/gtest.h>

#include "recorder/RecordOptions.h"

namespace {

struct TCase {
    std::vector<std::string> args;
    bool ok;
};

TEST(RecordOptionsTest, AcceptsAndRefuses) {
    const TCase cases[] = {
        {{"--out", "x.csv"}, true},
        {{"--out", "x.csv", "--span", "1:30"}, true},
        {{"--out", "x.csv", "--span", "0:00"}, false},
        {{"--out", "x.csv", "--span", "1:60"}, false},
        {{"--out", "x.csv", "--span", "130"}, false},
        {{"--out", "x.csv", "--records", "5"}, true},
        {{"--out", "x.csv", "--records", "0"}, false},
        {{"--out", "x.csv", "--records", "4294967296"}, false},
        {{"--out", "x.csv", "--stop-at", "2026/12/10 06:00:00"}, true},
        {{"--out", "x.csv", "--stop-at", "tomorrow"}, false},
        {{"--out", "x.csv", "--setup"}, false},
        {{"--span", "1:00"}, false},  // no --out
        {{"--out", "x.csv", "--what", "1"}, false},
        {{"--out", "x.csv", "--mqtt", "mqtt://127.0.0.1:1883", "--mqtt-prefix", "plant/a"}, true},
        {{"--out", "x.csv", "--mqtt"}, false},
        {{"--recover", "w.csv", "--out", "x.csv"}, true},
        {{"--recover", "w.csv"}, false},  // no --out
        {{"--out", "x.csv", "--recover", ""}, false},
        {{"--recover", "w.csv", "--out", "x.csv", "--records", "5"}, false},  // a recovery records nothing
        {{"--recover", "w.csv", "--out", "x.csv", "--span", "1:00"}, false},
        {{"--out", "x.csv", "--offsets", "off.csv"}, true},
        {{"--out", "x.csv", "--offsets", ""}, false},
        {{"--out", "x.csv", "--offsets"}, false},
        {{"--recover", "w.csv", "--out", "x.csv", "--offsets", "off.csv"}, false},
        {{"--out", "x.csv", "--wait", "30"}, true},
        {{"--out", "x.csv", "--wait", "0"}, false},  // no wait at all is no dongle at all
        {{"--out", "x.csv", "--wait", "86401"}, false},
        {{"--out", "x.csv", "--wait", "-1"}, false},
        {{"--out", "x.csv", "--save-wait", "0"}, true},
        {{"--out", "x.csv", "--save-wait", "86400", "--save-retry", "1"}, true},
        {{"--out", "x.csv", "--save-retry", "0"}, false},
        {{"--out", "x.csv", "--save-retry", "3601"}, false},
        {{"--out", "x.csv", "--save-wait"}, false},
    };
    for (const TCase& c : cases) {
        TRecordOptions options;
        std::string error;
        EXPECT_EQ(options.Parse(c.args, error), c.ok) << c.args.back();
        EXPECT_EQ(error.empty(), c.ok) << c.args.back();
    }
}

TEST(RecordOptionsTest, SpanOfManyHoursDoesNotOverflow) {
    TRecordOptions options;
    std::string error;
    // 40000 hours: beyond 2^31 milliseconds many times over.
    ASSERT_TRUE(options.Parse({"--out", "x.csv", "--span", "40000:07"}, error));
    EXPECT_EQ(options.spanMinutes, 40000 * 60 + 7);
    VEK::CSystemTime start;
    ASSERT_TRUE(start.Parse("2026/01/01 00:00:00"));
    const VEK::CSystemTime stop = options.StopTime(start);
    EXPECT_EQ(stop.ToEpochMilliseconds() - start.ToEpochMilliseconds(), (40000LL * 60 + 7) * 60000);
}

TEST(RecordOptionsTest, StopAtWinsOverSpan) {
    TRecordOptions options;
    std::string error;
    ASSERT_TRUE(
        options.Parse({"--out", "x.csv", "--span", "1:00", "--stop-at", "2026/12/10 06:00:00"}, error));
    EXPECT_EQ(options.StopTime(VEK::CSystemTime::Now()).Format(), "2026-12-10 06:00:00");
    TRecordOptions none;
    ASSERT_TRUE(none.Parse({"--out", "x.csv"}, error));
    EXPECT_FALSE(none.StopTime(VEK::CSystemTime::Now()).IsValid());
}

TEST(RecordOptionsTest, WaitsDefaultToUnattendedUse) {
    TRecordOptions options;
    std::string error;
    ASSERT_TRUE(options.Parse({"--out", "x.csv"}, error));
    EXPECT_EQ(options.waitSeconds, 0u);  // waits on: a start before the dongle is plugged in
    EXPECT_EQ(options.saveWaitSeconds, 600u);
    EXPECT_EQ(options.saveRetrySeconds, 5u);
}

// A stop time that has passed would end the run at its first tick: refused at the start.
TEST(RecordOptionsTest, StopTimeThatHasPassedIsRefused) {
    VEK::CSystemTime now;
    ASSERT_TRUE(now.Parse("2026/12/10 06:00:00"));
    const struct {
        const char* stopAt;
        bool ok;
    } cases[] = {
        {"2026/12/10 06:00:01", true}, {"2026/12/10 06:00:00", false}, {"2026/12/09 23:59:59", false}};
    for (const auto& c : cases) {
        TRecordOptions options;
        std::string error;
        ASSERT_TRUE(options.Parse({"--out", "x.csv", "--stop-at", c.stopAt}, error)) << error;
        EXPECT_EQ(options.CheckAgainst(now, error), c.ok) << c.stopAt;
        EXPECT_EQ(error.find("has passed") != std::string::npos, !c.ok) << error;
    }
    TRecordOptions none;
    std::string error;
    ASSERT_TRUE(none.Parse({"--out", "x.csv"}, error));
    EXPECT_TRUE(none.CheckAgainst(now, error));
}

// The command line replaces define.ini's URL and prefix only where it gives them; an empty URL
// turns publishing off.
TEST(RecordOptionsTest, MqttOptionsReplaceDefineIni) {
    TMqttSettings fromDefine;
    fromDefine.url = "mqtt://broker:1883";
    fromDefine.prefix = "site";
    fromDefine.user = "logger";
    struct TCase {
        std::vector<std::string> args;
        std::string url;
        std::string prefix;
    };
    const TCase cases[] = {
        {{}, "mqtt://broker:1883", "site"},
        {{"--mqtt", "mqtts://other"}, "mqtts://other", "site"},
        {{"--mqtt-prefix", "plant/a"}, "mqtt://broker:1883", "plant/a"},
        {{"--mqtt", ""}, "", "site"},
    };
    for (const TCase& c : cases) {
        TRecordOptions options;
        std::string error;
        std::vector<std::string> args = c.args;
        args.insert(args.end(), {"--out", "x.csv"});
        ASSERT_TRUE(options.Parse(args, error)) << error;
        const TMqttSettings settings = options.Mqtt(fromDefine);
        EXPECT_EQ(settings.url, c.url);
        EXPECT_EQ(settings.prefix, c.prefix);
        EXPECT_EQ(settings.user, "logger");
        EXPECT_EQ(settings.Enabled(), !c.url.empty());
    }
    EXPECT_NE(std::string(TRecordOptions::Usage()).find("[--mqtt URL] [--mqtt-prefix P]"), std::string::npos);
    EXPECT_NE(std::string(TRecordOptions::Usage()).find("[--offsets OFFSETS.csv]"), std::string::npos);
}

}  // namespace
