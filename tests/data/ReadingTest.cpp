#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "data/Reading.h"

namespace {

TEST(Reading, TemperatureToTenthsRoundsHalfAwayFromZeroInsideTheRange) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const struct {
        double temperature;
        int16_t tenths;
    } cases[] = {
        {12.25, 123},
        {-12.25, -123},
        {0.25, 3},
        {-0.25, -3},
        {12.24, 122},
        {0.0, 0},
        {1300.0, 13000},
        {-200.0, -2000},
        {1300.04, kReadingOutOfRange},
        {-200.01, kReadingOutOfRange},
        {kInvalidTemperature, kReadingOutOfRange},
        {-kInvalidTemperature, kReadingOutOfRange},
        {nan, kReadingOutOfRange},
    };
    for (const auto& c : cases) EXPECT_EQ(TemperatureToTenths(c.temperature), c.tenths) << c.temperature;
}

TEST(Reading, TenthsToTemperatureAndValidity) {
    EXPECT_DOUBLE_EQ(TenthsToTemperature(123), 12.3);
    EXPECT_DOUBLE_EQ(TenthsToTemperature(-32766), -3276.6);
    EXPECT_EQ(TenthsToTemperature(kReadingLost), kInvalidTemperature);
    EXPECT_EQ(TenthsToTemperature(kReadingOutOfRange), kInvalidTemperature);
    EXPECT_FALSE(IsValidReading(kReadingLost));
    EXPECT_FALSE(IsValidReading(kReadingOutOfRange));
    EXPECT_TRUE(IsValidReading(-32766));
}

TEST(Reading, FormatReadingPlainAndSigned) {
    const struct {
        int16_t tenths;
        bool signedForm;
        const char* text;
    } cases[] = {
        {-5, false, "-0.5"},
        {5, true, "+0.5 "},
        {0, true, "0.0 "},
        {0, false, "0.0"},
        {5, false, "0.5"},
        {-123, true, "-12.3 "},
        {13000, false, "1300.0"},
        {-32766, false, "-3276.6"},
        {kReadingLost, true, "Lost"},
        {kReadingOutOfRange, false, "Out Of Range"},
    };
    for (const auto& c : cases) EXPECT_EQ(FormatReading(c.tenths, c.signedForm), c.text) << c.tenths;
}

}  // namespace
