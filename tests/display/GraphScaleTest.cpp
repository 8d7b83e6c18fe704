#include <gtest/gtest.h>

#include "display/DisplayColors.h"
#include "display/Graph.h"
#include "display/TemperatureAxis.h"
#include "display/TimeAxis.h"
#include "files/InifileAccessor.h"
#include "support/TestHome.h"

namespace {

TTimeAxis AxisAt(uint32_t rateCode, int32_t timeDiv) {
    TTimeAxis axis;
    axis.SetSamplingInterval(rateCode);
    axis.SetTimeDiv(timeDiv);
    return axis;
}

struct TDivisibilityRow {
    uint32_t rateCode;
    int32_t timeDiv;  // set from a file or the settings
    int32_t expectedDiv;
    uint32_t expectedSamples;
};

// A division shorter than one interval must not leave the screen without records: "1sec" at 30 s
// is 0 records a screen, which the bare rule would keep (0 is a multiple of 10).
TEST(TimeAxis, DivisibilityRaisesToAWholeNumberOfRecordsAndAtLeastTen) {
    const TDivisibilityRow rows[] = {
        {4, 1, 1, 10},   {5, 1, 2, 10},       {9, 1, 6, 10}, {9, 4, 6, 10}, {4, 0, 4, 100},   {4, 14, 4, 100},
        {16, 1, 13, 10}, {1, 13, 13, 360000}, {6, 3, 3, 10}, {8, 6, 7, 30}, {14, 12, 13, 30}, {9, 0, 6, 10},
    };
    for (const TDivisibilityRow& row : rows) {
        const TTimeAxis axis = AxisAt(row.rateCode, row.timeDiv);
        EXPECT_EQ(axis.timeDivIndex, row.expectedDiv) << "rate " << row.rateCode << " div " << row.timeDiv;
        EXPECT_EQ(axis.samplesPerScreen, row.expectedSamples)
            << "rate " << row.rateCode << " div " << row.timeDiv;
    }
}

TEST(TimeAxis, SamplingIntervalRaisesTheScaleButNeverLowersIt) {
    TTimeAxis axis;
    axis.start = 500;
    axis.SetSamplingInterval(9);  // 30 s from "10sec"
    EXPECT_EQ(axis.start, 0u);
    EXPECT_EQ(TimeDivName(axis.timeDivIndex), "30sec");
    EXPECT_EQ(axis.samplesPerScreen, 10u);
    axis = TTimeAxis{};
    axis.SetSamplingInterval(1);  // 100 ms
    EXPECT_EQ(TimeDivName(axis.timeDivIndex), "10sec");
    EXPECT_EQ(axis.samplesPerScreen, 1000u);
    axis.SetSamplingInterval(99);  // no such rate: one second
    EXPECT_EQ(axis.samplingInterval, 1000u);
    EXPECT_EQ(axis.samplesPerScreen, 100u);
}

struct TZoomRow {
    uint32_t rateCode;
    int32_t from;
    bool out;
    bool expectedResult;
    int32_t expectedDiv;
    uint32_t expectedSamples;
};

TEST(TimeAxis, ZoomPerRate) {
    const TZoomRow rows[] = {
        {4, 2, false, true, 1, 10},      {4, 1, false, false, 1, 10},   {5, 4, false, true, 2, 10},
        {5, 2, false, false, 2, 10},     {14, 13, false, true, 11, 10}, {9, 7, false, true, 6, 10},
        {4, 13, true, false, 13, 36000}, {5, 2, true, true, 4, 50},     {9, 6, true, true, 7, 20},
        {1, 12, true, true, 13, 360000},
    };
    for (const TZoomRow& row : rows) {
        TTimeAxis axis = AxisAt(row.rateCode, row.from);
        ASSERT_EQ(axis.timeDivIndex, row.from) << row.rateCode;
        EXPECT_EQ(row.out ? axis.ZoomOut() : axis.ZoomIn(), row.expectedResult)
            << "rate " << row.rateCode << " from " << row.from;
        EXPECT_EQ(axis.timeDivIndex, row.expectedDiv) << "rate " << row.rateCode << " from " << row.from;
        EXPECT_EQ(axis.samplesPerScreen, row.expectedSamples)
            << "rate " << row.rateCode << " from " << row.from;
    }
}

TEST(TimeAxis, FollowAndScrollInQtTerms) {
    TTimeAxis axis = AxisAt(4, 4);  // 100 records a screen, 10 a division
    for (const auto& [record, start] : {std::pair<uint32_t, uint32_t>{0, 0},
                                        {99, 0},
                                        {100, 0},
                                        {101, 10},
                                        {110, 10},
                                        {111, 20},
                                        {4000000000u, 3999999900u}}) {
        axis.FollowRecord(record);
        EXPECT_EQ(axis.start, start) << record;
    }
    axis.start = 30;
    // Qt's maximum is the last position a page of ten divisions can start at.
    for (const auto& [records, maximum] :
         {std::pair<uint32_t, int>{0, 0}, {1, 0}, {101, 0}, {102, 1}, {1000, 90}, {4294967295u, 429496720}}) {
        EXPECT_EQ(axis.ScrollInfo(records), (TScrollInfo{0, maximum, 10, 3})) << records;
    }
    axis.ScrollTo(7);
    EXPECT_EQ(axis.start, 70u);
}

TEST(TemperatureAxis, ClampKeepsTheWindowInTheRange) {
    struct TRow {
        int32_t centre, div, expected;
    } const rows[] = {{1590, 4, 1550}, {-7, 3, -5},     {-390, 4, -350}, {123, 8, 600},  {-1000, 8, 600},
                      {25, 1, 25},     {-395, 1, -395}, {-396, 1, -395}, {2000, 7, 1100}};
    for (const TRow& row : rows) {
        TTemperatureAxis axis{row.centre, row.div};
        axis.Clamp();
        EXPECT_EQ(axis.centre, row.expected) << row.centre << " at " << row.div;
    }
}

TEST(TemperatureAxis, ScrollBarInQtTerms) {
    TTemperatureAxis axis{0, 4};
    TTemperatureRange range = axis.Range();
    EXPECT_EQ(range.top, 50);
    EXPECT_EQ(range.bottom, -50);
    EXPECT_EQ(range.scroll, (TScrollInfo{0, 190, 10, 155}));
    axis.SetScroll(0);
    EXPECT_EQ(axis.centre, 1550);
    axis.SetScroll(190);
    EXPECT_EQ(axis.centre, -350);
    axis.SetScroll(500);
    EXPECT_EQ(axis.centre, -350);
    EXPECT_EQ((TTemperatureAxis{600, 8}.Range().scroll), (TScrollInfo{0, 0, 10, 0}));
    // An index a file named wrongly counts as 10 degrees and never divides by zero.
    TTemperatureAxis unnamed{33, 0};
    unnamed.Clamp();
    EXPECT_EQ(unnamed.tempDivIndex, kDefaultTempDiv);
    EXPECT_EQ(unnamed.centre, 30);
}

TEST(TemperatureAxis, AutoScaleRows) {
    struct TRow {
        double a, b;
        int32_t div, centre;
    } const rows[] = {{20.0, 25.0, 1, 22},  {150, 100, 4, 120},  {-99999.0, 999999.0, 8, 600},
                      {0, 9, 2, 4},         {30, 60, 3, 45},     {0, 170, 5, 80},
                      {200, 500, 6, 350},   {-100, 600, 7, 200}, {-200, 1300, 8, 600},
                      {1599, 1600, 1, 1595}};
    for (const TRow& row : rows) {
        TTemperatureAxis axis;
        axis.AutoScale(row.a, row.b);
        EXPECT_EQ(axis.tempDivIndex, row.div) << row.a << ".." << row.b;
        EXPECT_EQ(axis.centre, row.centre) << row.a << ".." << row.b;
    }
}

TEST(ScaleNames, TablesAndTexts) {
    EXPECT_EQ(TimeDivIndex("10MIN"), 10);
    EXPECT_EQ(TimeDivIndex("2hour"), 0);
    EXPECT_EQ(TimeDivName(13), "1hour");
    EXPECT_EQ(TimeDivName(0), "");
    EXPECT_EQ(TimeDivSeconds(14), 0u);
    EXPECT_EQ(TempDivIndex("15"), 0);
    EXPECT_EQ(TempDivIndex("50deg F"), 6);
    EXPECT_EQ(TempDivIndex(" +200"), 8);
    EXPECT_EQ(TempDivIndex("-5"), 0);
    EXPECT_EQ(TempDivName(4, 0), "10deg C");
    EXPECT_EQ(TempDivName(1, 1), "1deg F");
    EXPECT_EQ(FormatElapsed(90061), "25:01:01");
    // Past 49.7 days of records the milliseconds no longer fit 32 bits.
    EXPECT_EQ(FormatElapsed(50ull * 86400), "1200:00:00");
    EXPECT_EQ(FormatCursorTime(90500), "00h01m30.5sec");
    EXPECT_EQ(FormatCursorTime(50ull * 86400000 + 1234), "1200h00m01.2sec");
}

TEST(DisplayColors, ParseAndLoad) {
    EXPECT_EQ(ParseColorText("FF0000"), 0x0000FFu);
    EXPECT_EQ(ParseColorText("12"), 0x000012u);
    EXPECT_EQ(ParseColorText("GG1234"), 0x341200u);
    EXPECT_EQ(ParseColorText(""), 0u);
    EXPECT_EQ(ParseColorText("abcdef99"), 0xEFCDABu);

    const std::string path = testing_support::TestHome() + "/colors.ini";
    VEK::CInifileAccessor define(path);
    const VEK::AccessorSection parameter(&define, "parameter");
    parameter.SetString("chc5", "808080");
    parameter.SetString("grc1", "102030");
    const TDisplayColors colors = LoadDisplayColors(parameter);
    EXPECT_EQ(colors.colors[0], 0x646464u);
    EXPECT_EQ(colors.ChannelColor(1), 0x0000FFu);
    EXPECT_EQ(colors.ChannelColor(23), 0x00FF00u);
    EXPECT_EQ(colors.ChannelColor(11), 0x0000FFu);
    EXPECT_EQ(colors.ChannelColor(5), 0x808080u);
    EXPECT_EQ(colors.colors[TDisplayColors::kBackground], 0x302010u);
    EXPECT_EQ(colors.colors[TDisplayColors::kHoldBackground], 0x222233u);
    EXPECT_EQ(colors.Rgb(TDisplayColors::kCursorBlink), qRgb(0xAA, 0x00, 0xAA));
    EXPECT_EQ(TDisplayColors().colors, (TDisplayColors{}.colors));
}

}  // namespace
