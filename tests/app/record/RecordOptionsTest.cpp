#include <gtest/gtest.h>

#include "app/record/RecordOptions.h"

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
        {{"--recover", "w.csv", "--out", "x.csv"}, true},
        {{"--recover", "w.csv"}, false},  // no --out
        {{"--out", "x.csv", "--recover", ""}, false},
        {{"--recover", "w.csv", "--out", "x.csv", "--records", "5"}, false},  // a recovery records nothing
        {{"--recover", "w.csv", "--out", "x.csv", "--span", "1:00"}, false},
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

}  // namespace
