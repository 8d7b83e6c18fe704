#include <gtest/gtest.h>

#include <vector>

#include "counterpart/OppositeUnitTable.h"

namespace {

TEST(OppositeUnitTable, DefaultsPutEveryUnitInUseWithZeroValues) {
    COppositeUnitTable table;
    for (int unit = 1; unit <= COppositeUnitTable::kUnits; ++unit) {
        EXPECT_EQ(table.Unit(unit), (TOppositeUnit{true, 0, 0, 0, 0})) << unit;
    }
}

TEST(OppositeUnitTable, StructIsTwentyLittleEndianBytesPerEntry) {
    COppositeUnitTable table;
    table.Clear();
    table.Unit(2) = TOppositeUnit{true, -2, 0x123456, 10000, 100};
    const std::vector<uint8_t> bytes = table.EncodeStruct();
    ASSERT_EQ(bytes.size(), 2020u);
    const std::vector<uint8_t> entry(bytes.begin() + 20, bytes.begin() + 40);
    const std::vector<uint8_t> expected = {1,    0,    0,    0,    0xFE, 0xFF, 0xFF, 0xFF, 0x56, 0x34,
                                           0x12, 0x00, 0x10, 0x27, 0,    0,    100,  0,    0,    0};
    EXPECT_EQ(entry, expected);
    EXPECT_EQ(std::vector<uint8_t>(bytes.begin(), bytes.begin() + 20), std::vector<uint8_t>(20, 0));
}

TEST(OppositeUnitTable, StructRoundTrip) {
    COppositeUnitTable table;
    table.Unit(1) = TOppositeUnit{false, -8192, -8388608, 0, 0};
    table.Unit(50) = TOppositeUnit{true, 8191, 8388607, 7, 33};
    table.Unit(100) = TOppositeUnit{true, -16384, -1048576, 10000, 100};
    const std::vector<uint8_t> bytes = table.EncodeStruct();
    COppositeUnitTable read;
    ASSERT_TRUE(read.DecodeStruct(bytes.data(), bytes.size()));
    EXPECT_EQ(read, table);
}

TEST(OppositeUnitTable, WrongLengthLeavesTheTableZeroed) {
    const std::vector<uint8_t> bytes = COppositeUnitTable().EncodeStruct();
    for (size_t size : {size_t{0}, size_t{2000}, size_t{2019}}) {
        COppositeUnitTable table;
        EXPECT_FALSE(table.DecodeStruct(bytes.data(), size)) << size;
        for (int unit = 1; unit <= COppositeUnitTable::kUnits; ++unit) EXPECT_FALSE(table.Unit(unit).use);
    }
    std::vector<uint8_t> longer = bytes;
    longer.push_back(0);
    COppositeUnitTable table;
    EXPECT_FALSE(table.DecodeStruct(longer.data(), longer.size()));
    EXPECT_EQ(table.Unit(1), TOppositeUnit{});
}

TEST(OppositeUnitTable, StructTextRoundTripAndWrongLengths) {
    COppositeUnitTable table;
    table.Unit(3) = TOppositeUnit{true, -5, 0x7FFFFF, 2, 9};
    const std::string text = table.StructText();
    ASSERT_EQ(text.size(), 4040u);
    EXPECT_EQ(text.substr(0, 8), "01000000");
    COppositeUnitTable read;
    read.Clear();
    ASSERT_TRUE(read.SetStructText(text));
    EXPECT_EQ(read, table);

    for (const std::string& wrong : {text.substr(0, 4038), text + "00", std::string()}) {
        COppositeUnitTable other;
        EXPECT_FALSE(other.SetStructText(wrong)) << wrong.size();
        EXPECT_EQ(other.Unit(1), TOppositeUnit{});
    }
}

}  // namespace
