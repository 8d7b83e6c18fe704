#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <optional>
#include <string>
#include <vector>

#include "data/MeasurementDataManager.h"
#include "data/MeasurementReport.h"
#include "data/ReportBuilder.h"
#include "data/StoreMeasurementReport.h"
#include "data/Thermocouple.h"
#include "data/UnitInformation.h"

namespace {

using data_test::ColdJunctionWord;
using data_test::InformationReport;
using data_test::MeasurementReport;
using data_test::TSample;

constexpr uint16_t k25Celsius = 0x0C80;

// Thermocouple types of the channels of data_test::ThreeChannelSetup.
int32_t TypeOf(int unit) {
    return data_test::ThreeChannelSetup().thermocoupleType[unit];
}

// One sample decoded for units 1 (K), 2 (T), 3 (J).
struct TDecodeCase {
    const char* name;
    int unit;
    TSample sample;
    uint32_t temperatureUnit;
    std::vector<uint8_t> gainBytes;  // empty: no unit information stored
    int32_t ofs2;
    std::optional<double> expected;  // nullopt: invalid temperature
    double tolerance;
};

TEST(DecodeMeasurementReport, SampleVectors) {
    const std::vector<uint8_t> gainOne = {0, 0, 0x80, 0x3F};
    const std::vector<uint8_t> gainZeroBytes = {0, 0, 0, 0};
    const std::vector<uint8_t> gainTwo = {0, 0, 0, 0x40};
    // 705 degC (1301 degF) on type K with the cold junction at 0 degC: 29.3384 mV.
    const auto k705 = static_cast<int32_t>(std::lround(29.3384 * 131072));
    const TDecodeCase cases[] = {
        {"count 0 gives the cold junction, K", 1, {k25Celsius, 0}, 0, {}, 0, 25.0, 1e-9},
        {"count 0 gives the cold junction, T", 2, {k25Celsius, 0}, 0, {}, 0, 25.0, 1e-9},
        {"count 0 gives the cold junction, J", 3, {k25Celsius, 0}, 0, {}, 0, 25.0, 1e-9},
        {"negative cold-junction word", 1, {0xFFFC, 0}, 0, {}, 0, -0.03125, 1e-9},
        {"cold junction -200 degC is outside", 1, {ColdJunctionWord(-200.0), 0}, 0, {}, 0, std::nullopt, 0},
        {"+0.5 mV on K at 25 degC", 1, {k25Celsius, 0x010000}, 0, {}, 0, 37.28, 0.05},
        {"-0.5 mV (sign-extended 0xFF0000) on K",
         1,
         {k25Celsius, 0xFF0000 - 0x1000000},
         0,
         {},
         0,
         12.59,
         0.05},
        {"24-bit maximum is full scale", 1, {k25Celsius, 0x7FFFFF}, 0, {}, 0, std::nullopt, 0},
        {"24-bit minimum is full scale", 1, {k25Celsius, -0x800000}, 0, {}, 0, std::nullopt, 0},
        {"GAIN bytes 00 00 80 3F mean 1.0", 1, {k25Celsius, 0x010000}, 0, gainOne, 0, 37.28, 0.05},
        {"GAIN bytes 00 00 00 00 mean 1.0", 1, {k25Celsius, 0x010000}, 0, gainZeroBytes, 0, 37.28, 0.05},
        {"GAIN 2.0 doubles the count", 1, {k25Celsius, 0x008000}, 0, gainTwo, 0, 37.28, 0.05},
        {"OFS2 is subtracted", 1, {k25Celsius, 0x010000}, 0, gainZeroBytes, 0x010000, 25.0, 1e-9},
        {"degF window", 1, {k25Celsius, 0}, 1, {}, 0, 77.0, 1e-9},
        {"705 degC is 1301 degF", 1, {0, k705}, 1, {}, 0, 1301.0, 0.05},
    };
    for (const TDecodeCase& c : cases) {
        SCOPED_TRACE(c.name);
        TUnitInformation information;
        if (!c.gainBytes.empty()) {
            const auto bytes = InformationReport(c.unit, c.ofs2, c.gainBytes);
            ASSERT_TRUE(DecodeUnitInformation(bytes.data(), bytes.size(), information));
        }
        const auto decoded = DecodeMeasurementReport(MeasurementReport(c.unit, 0, {c.sample}), TypeOf(c.unit),
                                                     information, c.temperatureUnit);
        ASSERT_TRUE(decoded);
        EXPECT_EQ(decoded->unit, static_cast<uint32_t>(c.unit));
        EXPECT_EQ(decoded->sampleCount, 1u);
        if (c.expected) {
            EXPECT_NEAR(decoded->temperature[0], *c.expected, c.tolerance);
        } else {
            EXPECT_EQ(decoded->temperature[0], kInvalidTemperature);
        }
        // The cold junction stays in degC whatever the display unit.
        EXPECT_DOUBLE_EQ(decoded->coldJunction,
                         (static_cast<int16_t>(c.sample.coldJunctionWord) >> 2) * 0.03125);
    }
}

TEST(DecodeMeasurementReport, JustInsideTheFahrenheitWindowIsStored) {
    // 1299.5 degF (704.167 degC) on type K with the cold junction at 0 degC: 29.3035 mV.
    const auto report = MeasurementReport(1, 0, {{0, static_cast<int32_t>(std::lround(29.3035 * 131072))}});
    const auto decoded = DecodeMeasurementReport(report, 1, {}, kTemperatureUnitFahrenheit);
    ASSERT_TRUE(decoded);
    EXPECT_NEAR(decoded->temperature[0], 1299.5, 0.05);
    EXPECT_TRUE(IsValidReading(TemperatureToTenths(decoded->temperature[0])));
}

TEST(DecodeMeasurementReport, UnknownTypesGiveTheInvalidTemperature) {
    for (int32_t type : {0, 4}) {
        const auto decoded = DecodeMeasurementReport(MeasurementReport(1, 0, {{k25Celsius, 0}}), type, {},
                                                     kTemperatureUnitCelsius);
        ASSERT_TRUE(decoded);
        EXPECT_EQ(decoded->temperature[0], kInvalidTemperature) << type;
        EXPECT_EQ(TemperatureToTenths(decoded->temperature[0]), kReadingOutOfRange);
    }
}

// Rejected reports, and one the store does not take, leave the store untouched.
TEST(StoreMeasurementReport, RejectsBeforeIndexingAnything) {
    auto report = [](int unit, uint8_t countByte, size_t size) {
        auto bytes = MeasurementReport(unit, 7, std::vector<TSample>(5, TSample{k25Celsius, 0}));
        bytes[3] = countByte;
        bytes.resize(size);
        return bytes;
    };
    const struct {
        const char* name;
        std::vector<uint8_t> bytes;
    } cases[] = {
        {"unit 0", report(0, 1, 10)},
        {"unit 101", report(101, 1, 10)},
        {"unit 255", report(255, 1, 10)},
        {"unit not in use", report(4, 1, 10)},
        {"three samples in 19 bytes", report(1, 3, 19)},
        {"header cut short", report(1, 0, 4)},
        {"five samples do not fit four slots", report(1, 5, 30)},
        {"fifteen samples", report(1, 0x0F, 30)},
        {"information kind",
         [] {
             auto bytes = InformationReport(1, 0);
             return bytes;
         }()},
    };
    CMeasurementDataManager store;
    store.Start(data_test::ThreeChannelSetup());
    for (const auto& c : cases) {
        EXPECT_FALSE(StoreMeasurementReport(store, c.bytes)) << c.name;
        // Sequence byte 7 is ahead of the counter: an accepted report would have moved it.
        EXPECT_EQ(store.SequenceCounter(), 0u) << c.name;
    }
    EXPECT_FALSE(StoreMeasurementReport(store, {}));
    EXPECT_FALSE(DecodeMeasurementReport({}, 1, {}, kTemperatureUnitCelsius));
}

TEST(StoreMeasurementReport, HighNibbleOfTheCountByteIsIgnoredAndZeroSamplesAreAccepted) {
    CMeasurementDataManager store;
    store.Start(data_test::ThreeChannelSetup());
    for (int tick = 0; tick < 4; ++tick) store.AdvanceTick();  // records 3 and 4 are due
    auto bytes = MeasurementReport(2, 3, {{k25Celsius, 0}, {k25Celsius, 0}}, 77);
    bytes[3] = 0xF2;
    const auto stored = StoreMeasurementReport(store, bytes);
    ASSERT_TRUE(stored);
    EXPECT_EQ(stored->report.sampleCount, 2u);
    EXPECT_EQ(stored->report.battery, 77);
    EXPECT_EQ(stored->report.sequence, 3);
    EXPECT_EQ(stored->recordIndex, 3u);

    const auto empty = StoreMeasurementReport(store, MeasurementReport(2, 4, {}));
    ASSERT_TRUE(empty);
    EXPECT_EQ(empty->report.sampleCount, 0u);
    EXPECT_EQ(empty->report.coldJunction, kInvalidTemperature);
}

TEST(UnwrapSequence, WidensAgainstTheCounter) {
    const struct {
        uint32_t counter;
        uint8_t sequence;
        int64_t result;
        uint32_t counterAfter;
    } cases[] = {
        {300, 50, 306, 306},   // ahead: moves the counter
        {300, 40, 296, 300},   // behind
        {300, 200, 200, 300},  // behind, before our number wrapped
        {10, 250, -6, 10},     // before the start, never folded onto it
        {100, 200, -56, 100},  // before the start, from before our number wrapped
        {250, 5, 261, 261},    // the unit's number wrapped first
        {300, 44, 300, 300},   // equal
        {300, 84, 340, 340},   // 40 ahead is the most that moves the counter
        {300, 85, 85, 300},    // 41 ahead counts as 215 behind
        {300, 100, 100, 300},  // 56 ahead counts as 200 behind
        {255, 40, 40, 255},    // 215 behind
        {255, 39, 295, 295},   // 216 behind is the unit's wrap: 40 ahead
        {300, 3, 259, 300},    // 41 behind
        {5, 4, 4, 5},         {3, 10, 10, 10},
    };
    for (const auto& c : cases) {
        uint32_t counter = c.counter;
        EXPECT_EQ(UnwrapSequence(counter, c.sequence), c.result) << c.counter << " " << int{c.sequence};
        EXPECT_EQ(counter, c.counterAfter) << c.counter << " " << int{c.sequence};
    }
}

TEST(ApplyOffsetCorrection, SubtractsTheTruncatedOffsetAndSaturatesInsteadOfWrapping) {
    TChannelOffsets offsets;
    offsets.fill(std::numeric_limits<double>::quiet_NaN());
    offsets[1] = 1000.9;
    offsets[2] = -1000.9;
    offsets[3] = 1e30;
    auto corrected = [&](int unit, int32_t count) {
        const auto report = MeasurementReport(unit, 0, {{k25Celsius, count}, {k25Celsius, count}});
        const auto copy = ApplyOffsetCorrection(report.data(), report.size(), offsets);
        EXPECT_EQ(copy.size(), report.size());
        // Both samples are corrected alike; return the second's count.
        const auto raw = static_cast<uint32_t>(copy[12] << 16 | copy[13] << 8 | copy[14]);
        return static_cast<int32_t>(raw ^ 0x800000u) - 0x800000;
    };
    EXPECT_EQ(corrected(1, 5000), 4000);
    EXPECT_EQ(corrected(2, 5000), 6000);
    EXPECT_EQ(corrected(4, 5000), 5000);            // no offset for the channel
    EXPECT_EQ(corrected(1, -0x7FFF00), kCountMin);  // below the 24-bit range
    EXPECT_EQ(corrected(2, 0x7FFF00), kCountMax);   // above it
    EXPECT_EQ(corrected(3, 5000), kCountMin);       // huge offsets saturate too
    EXPECT_EQ(corrected(1, kCountMax), kCountMax);  // full scale stays full scale
    EXPECT_EQ(corrected(2, kCountMin), kCountMin);

    // A saturated count decodes as no temperature, never a wrapped one.
    const auto report = MeasurementReport(2, 0, {{k25Celsius, 0x7FFF00}});
    const auto decoded = DecodeMeasurementReport(ApplyOffsetCorrection(report.data(), report.size(), offsets),
                                                 TypeOf(2), {}, kTemperatureUnitCelsius);
    ASSERT_TRUE(decoded);
    EXPECT_EQ(decoded->temperature[0], kInvalidTemperature);
}

TEST(ApplyOffsetCorrection, LeavesOtherReportsUnchanged) {
    TChannelOffsets offsets;
    offsets.fill(500.0);
    const auto information = InformationReport(1, 7);
    auto truncated = MeasurementReport(1, 0, {{k25Celsius, 5000}, {k25Celsius, 5000}});
    truncated.resize(12);
    for (const auto& bytes : {information, truncated}) {
        EXPECT_EQ(ApplyOffsetCorrection(bytes.data(), bytes.size(), offsets), bytes);
    }
    EXPECT_TRUE(ApplyOffsetCorrection(nullptr, 0, offsets).empty());
}

}  // namespace
