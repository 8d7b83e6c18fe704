#include <gtest/gtest.h>

#include <clocale>

#include "support/NumberText.h"

using namespace VEK;

TEST(NumberText, CIntegerSyntax) {
    struct {
        const char* text;
        int64_t value;
    } cases[] = {
        {"", 0},
        {"0x1A", 26},
        {"0X1a", 26},
        {"017", 15},
        {"08", 0},
        {"42", 42},
        {"  -7", -7},
        {"+9", 9},
        {"0x", 0},
        {"12abc", 12},
        {"abc", 0},
        {"0xG", 0},
        {"0x0006", 6},
        {"-0x10", -16},
        {"99999999999999999999", INT64_MAX},
        {"-99999999999999999999", INT64_MIN},
    };
    for (const auto& c : cases) EXPECT_EQ(ParseCInteger(c.text), c.value) << c.text;
}

TEST(NumberText, LeadingDecimalStopsAtFirstNonDigit) {
    EXPECT_EQ(ParseLeadingDecimal("12abc"), 12);
    EXPECT_EQ(ParseLeadingDecimal("abc"), 0);
    EXPECT_EQ(ParseLeadingDecimal(" -5x"), -5);
    EXPECT_EQ(ParseLeadingDecimal("0x10"), 0);
    EXPECT_EQ(ParseLeadingDecimal("4294967295"), 4294967295LL);
}

TEST(NumberText, WholeNumbersRejectTrailingText) {
    EXPECT_EQ(ParseWholeDecimal(" 12 "), 12);
    EXPECT_FALSE(ParseWholeDecimal("12a"));
    EXPECT_FALSE(ParseWholeDecimal(""));
    EXPECT_FALSE(ParseWholeDecimal("99999999999999999999"));
    EXPECT_DOUBLE_EQ(*ParseWholeDouble("-12.5"), -12.5);
    EXPECT_FALSE(ParseWholeDouble("12,5"));
}

TEST(NumberText, DecimalPointIgnoresTheProcessLocale) {
    const char* old = std::setlocale(LC_NUMERIC, nullptr);
    std::string saved = old ? old : "C";
    if (std::setlocale(LC_NUMERIC, "de_DE.UTF-8") == nullptr)
        std::setlocale(LC_NUMERIC, "C");
    EXPECT_EQ(FormatFixed(25.0, 1), "25.0");
    EXPECT_EQ(FormatFixed(-0.04, 1), "-0.0");
    EXPECT_DOUBLE_EQ(*ParseWholeDouble("1.5"), 1.5);
    std::setlocale(LC_NUMERIC, saved.c_str());
}

TEST(NumberText, ScaledCountsAsExactDecimals) {
    const struct {
        int64_t value;
        int decimals;
        const char* text;
    } cases[] = {
        {1234, 2, "12.34"},
        {-5, 1, "-0.5"},
        {5, 2, "0.05"},
        {0, 2, "0.00"},
        {-100, 2, "-1.00"},
        {7, 0, "7"},
        {INT64_MIN, 1, "-922337203685477580.8"},
    };
    for (const auto& c : cases) EXPECT_EQ(FormatScaled(c.value, c.decimals), c.text) << c.value;
}

TEST(NumberText, HexTextDecoding) {
    struct {
        const char* text;
        std::vector<uint8_t> bytes;
    } cases[] = {
        {"", {}},
        {"0102", {0x01, 0x02}},
        {"A-b_c d\t\r\nE", {0x0A, 0xBC, 0xDE}},  // five digits: the first alone is the first byte
        {"123", {0x01, 0x23}},
        {"12x34", {0x12}},
        {"ff", {0xFF}},
    };
    for (const auto& c : cases) EXPECT_EQ(DecodeHexText(c.text), c.bytes) << c.text;
    EXPECT_EQ(DecodeHexText("010203", 2), (std::vector<uint8_t>{1, 2}));
    const uint8_t bytes[] = {0x00, 0xAB, 0x7F};
    EXPECT_EQ(EncodeHexText(bytes, 3), "00AB7F");
}
