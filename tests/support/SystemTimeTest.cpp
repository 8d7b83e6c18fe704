#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>

#include "support/SystemTime.h"

using namespace VEK;

namespace {
CSystemTime Make(int y, int mo, int d, int h, int mi, int s, int ms) {
    CSystemTime t;
    EXPECT_TRUE(t.Parse(std::to_string(y) + "/" + std::to_string(mo) + "/" + std::to_string(d) + " " +
                        std::to_string(h) + ":" + std::to_string(mi) + ":" + std::to_string(s) + "." +
                        std::to_string(ms)));
    return t;
}
}  // namespace

TEST(SystemTime, FormatsWithDefaultPatternAndMilliseconds) {
    CSystemTime t = Make(2026, 3, 4, 5, 6, 7, 89);
    EXPECT_EQ(t.Format(), "2026-03-04 05:06:07");
    EXPECT_EQ(t.Format("%Y/%m/%d %H:%M:%S.%f"), "2026/03/04 05:06:07.089");
    EXPECT_EQ(t.dayOfWeek, 3);  // a Wednesday
}

TEST(SystemTime, InvalidTimeFormatsAsEmpty) {
    EXPECT_EQ(CSystemTime().Format(), "");
    CSystemTime t;
    EXPECT_FALSE(t.Parse("2026/13/01 00:00:00"));
    EXPECT_FALSE(t.Parse("garbage"));
    EXPECT_FALSE(t.Parse("2026/01-01 00:00:00"));
    EXPECT_FALSE(t.IsValid());
}

TEST(SystemTime, AddMillisecondsCrossesDaysAndCompares) {
    CSystemTime t = Make(2026, 12, 31, 23, 59, 59, 900);
    CSystemTime later = t.AddMilliseconds(200);
    EXPECT_EQ(later.Format("%Y-%m-%d %H:%M:%S.%f"), "2027-01-01 00:00:00.100");
    EXPECT_LT(t.Compare(later), 0);
    EXPECT_GT(later.Compare(t), 0);
    EXPECT_EQ(later.AddMilliseconds(-200).Compare(t), 0);
    EXPECT_EQ(later.ToEpochMilliseconds() - t.ToEpochMilliseconds(), 200);
}

TEST(SystemTime, AddMillisecondsAcrossDaylightSavingKeepsElapsedTime) {
    const char* old = std::getenv("TZ");
    std::string saved = old ? old : "";
    setenv("TZ", "Europe/Berlin", 1);
    tzset();
    CSystemTime before = Make(2026, 3, 29, 1, 30, 0, 0);
    CSystemTime after = before.AddMilliseconds(3600 * 1000);
    EXPECT_EQ(after.Format(), "2026-03-29 03:30:00");
    if (old) {
        setenv("TZ", saved.c_str(), 1);
    } else {
        unsetenv("TZ");
    }
    tzset();
}
