#include <gtest/gtest.h>

#include <vector>

#include "data/ReportBuilder.h"
#include "data/UnitInformation.h"

namespace {

TEST(UnitInformation, DecodesTheFieldsOfAnInformationReport) {
    // OFS1 word 0xFFFC is -1; OFS2 0xFFFFFE is -2; GAIN 1.5f little-endian.
    std::vector<uint8_t> bytes = {4,   7,    55,   '1',  '.',  '0',  0, 'A', 'B',  '1',  '2', '3',
                                  '4', 0xFF, 0xFC, 0xFF, 0xFF, 0xFE, 0, 0,   0xC0, 0x3F, 0xEE};
    TUnitInformation information;
    ASSERT_TRUE(DecodeUnitInformation(bytes.data(), bytes.size(), information));
    EXPECT_TRUE(information.IsPresent());
    EXPECT_EQ(information.Unit(), 7);
    EXPECT_EQ(information.Battery(), 55);
    EXPECT_EQ(information.Version(), "1.0");
    EXPECT_EQ(information.SerialNumber(), "AB1234");
    EXPECT_EQ(information.Ofs1(), -1);
    EXPECT_EQ(information.Ofs2(), -2);
    EXPECT_DOUBLE_EQ(information.Gain(), 1.5);
    EXPECT_EQ(FormatUnitInfo(information),
              "CH=7, BAT=55, OFS1=-1, OFS2=-2, GAIN=1.50, Ver=[1.0], SN=[AB1234]");
}

TEST(UnitInformation, GainBytesAndAnEmptyBlock) {
    const struct {
        std::vector<uint8_t> gain;
        double value;
    } cases[] = {
        {{0, 0, 0, 0}, 1.0}, {{0, 0, 0x80, 0x3F}, 1.0}, {{0, 0, 0, 0x40}, 2.0}, {{0, 0, 0, 0xBF}, -0.5}};
    for (const auto& c : cases) {
        const auto bytes = data_test::InformationReport(1, 0, c.gain);
        TUnitInformation information;
        ASSERT_TRUE(DecodeUnitInformation(bytes.data(), bytes.size(), information));
        EXPECT_DOUBLE_EQ(information.Gain(), c.value);
    }
    const TUnitInformation empty;
    EXPECT_FALSE(empty.IsPresent());
    EXPECT_EQ(FormatUnitInfo(empty), "CH=0, BAT=0, OFS1=0, OFS2=0, GAIN=1.00, Ver=[], SN=[]");
}

TEST(UnitInformation, RejectsShortReportsOtherKindsAndUnitsOutside1To100) {
    auto report = [](int unit, size_t size, uint8_t kind = 4) {
        auto bytes = data_test::InformationReport(unit, 0);
        bytes[0] = kind;
        bytes.resize(size);
        return bytes;
    };
    TUnitInformation information;
    for (const auto& bytes : {report(1, 21), report(0, 22), report(101, 22), report(1, 22, 3)}) {
        EXPECT_FALSE(DecodeUnitInformation(bytes.data(), bytes.size(), information));
    }
    EXPECT_FALSE(information.IsPresent());
    EXPECT_FALSE(DecodeUnitInformation(nullptr, 22, information));
    for (const auto& bytes : {report(1, 22), report(100, 29)}) {
        EXPECT_TRUE(DecodeUnitInformation(bytes.data(), bytes.size(), information));
    }
}

}  // namespace
