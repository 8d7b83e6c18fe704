#include <gtest/gtest.h>

#include <vector>

#include "data/MeasurementDataManager.h"
#include "data/ReportBuilder.h"
#include "data/StoreMeasurementReport.h"
#include "data/Thermocouple.h"

namespace {

using data_test::MeasurementReport;
using data_test::TSample;

constexpr uint16_t k25Celsius = 0x0C80;
constexpr TSample kAt25{k25Celsius, 0};
constexpr TSample kAt50{static_cast<uint16_t>(50 * 32 * 4), 0};
constexpr TSample kNoTemperature{k25Celsius, kCountMax};

using CStore = CMeasurementDataManager;

class MeasurementDataManagerTest : public ::testing::Test {
protected:
    bool Append(int unit, uint8_t sequence, const std::vector<TSample>& samples) {
        return StoreMeasurementReport(store, MeasurementReport(unit, sequence, samples)).has_value();
    }
    std::vector<int16_t> Readings(int channel) const {
        std::vector<int16_t> readings(store.Channel(channel).ReadingCount());
        store.Channel(channel).CopyReadings(0, readings.size(), readings.data());
        return readings;
    }

    CStore store;
};

TEST_F(MeasurementDataManagerTest, ChannelsOutside1To100AreOneEmptyRecordThatStaysEmpty) {
    store.Start(data_test::ThreeChannelSetup());
    for (int n : {0, 101, -1}) {
        CStore::CChannel& channel = store.Channel(n);
        CStore::SetReading(channel, 3, 250);
        channel.SetInUse(true);
        EXPECT_EQ(CStore::GetReading(channel, 3), kReadingLost) << n;
        EXPECT_FALSE(channel.InUse());
        EXPECT_EQ(channel.ReadingCount(), 0u);
    }
    EXPECT_EQ(&store.Channel(0), &store.Channel(101));
    CStore::SetReading(store.Channel(1), 3, 250);
    EXPECT_EQ(CStore::GetReading(store.Channel(1), 3), 250);
    EXPECT_EQ(CStore::GetReading(store.Channel(1), 2), kReadingLost);
    EXPECT_EQ(CStore::GetReading(store.Channel(1), 4), kReadingLost);
}

TEST_F(MeasurementDataManagerTest, AppendStoresOnceNeverReplacesValidReadingsButFillsGaps) {
    store.Start(data_test::ThreeChannelSetup());
    ASSERT_TRUE(Append(1, 0, {kAt25, kAt25}));
    ASSERT_TRUE(Append(1, 0, {kAt25, kAt25}));  // the same report again
    EXPECT_EQ(Readings(1), (std::vector<int16_t>{250, 250}));
    EXPECT_EQ(store.RecordCount(), 2u);

    ASSERT_TRUE(Append(1, 1, {kAt25, kNoTemperature}));  // record 1 repeated and a new record 2
    EXPECT_EQ(Readings(1), (std::vector<int16_t>{250, 250, kReadingOutOfRange}));
    for (int tick = 0; tick < 5; ++tick) store.AdvanceTick();
    ASSERT_TRUE(Append(1, 5, {kAt25}));  // records 3 and 4 stay Lost
    EXPECT_EQ(store.RecordCount(), 6u);
    ASSERT_TRUE(Append(1, 2, {kAt50, kAt50, kAt50}));  // replaces Out Of Range and Lost, keeps record 5
    EXPECT_EQ(Readings(1), (std::vector<int16_t>{250, 250, 500, 500, 500, 250}));
    EXPECT_EQ(store.Channel(1).InternalTemperature(), 500);

    // Other valid readings for stored records: not the same samples, so not filed there. The unit's
    // next report does not follow it: it is dropped.
    EXPECT_FALSE(Append(1, 4, {kAt25, kAt25}));
    EXPECT_EQ(Readings(1), (std::vector<int16_t>{250, 250, 500, 500, 500, 250}));
    EXPECT_EQ(store.DroppedSamples(), 0u);
    store.AdvanceTick();
    ASSERT_TRUE(Append(1, 6, {kAt25}));
    EXPECT_EQ(store.DroppedSamples(), 2u);
    EXPECT_EQ(Readings(1), (std::vector<int16_t>{250, 250, 500, 500, 500, 250, 250}));

    // A report that stores nothing new does not raise the count.
    ASSERT_TRUE(Append(2, 0, {}));
    EXPECT_EQ(store.RecordCount(), 7u);
    EXPECT_EQ(store.Channel(2).InternalTemperature(), kReadingLost);
}

TEST_F(MeasurementDataManagerTest, AppendStoresNothingUnlessMeasuring) {
    store.Reset(data_test::ThreeChannelSetup());
    EXPECT_FALSE(Append(1, 0, {kAt25}));
    store.Start(data_test::ThreeChannelSetup());
    store.Stop();
    EXPECT_FALSE(Append(1, 0, {kAt25}));
    EXPECT_EQ(store.Channel(1).ReadingCount(), 0u);
    EXPECT_EQ(store.RecordCount(), 0u);
}

TEST_F(MeasurementDataManagerTest, StopDropsTheLastSecondWhenChannelsEndUnevenlyAtFastRates) {
    const struct {
        const char* name;
        uint8_t rateCode;
        std::vector<size_t> sizes;  // channels 1, 2, 3
        uint32_t count;
        uint32_t countAfter;
    } cases[] = {
        {"200msec uneven", 2, {100, 98, 100}, 100, 95},
        {"200msec even", 2, {100, 100, 100}, 100, 100},
        {"100msec uneven", 1, {100, 100, 99}, 100, 90},
        {"500msec uneven", 3, {100, 99, 100}, 100, 98},
        {"1sec uneven", 4, {100, 99, 100}, 100, 99},
        {"2sec is never trimmed", 5, {100, 98, 100}, 100, 100},
        {"empty series before the reference are passed over", 2, {0, 100, 100}, 100, 100},
        {"an empty series after the reference counts", 2, {100, 0, 100}, 100, 95},
        {"a count below one second stays", 1, {5, 3, 5}, 5, 5},
    };
    for (const auto& c : cases) {
        CStore fresh;
        fresh.Start(data_test::ThreeChannelSetup(c.rateCode));
        for (int k = 1; k <= 3; ++k) {
            if (c.sizes[k - 1] != 0)
                CStore::SetReading(fresh.Channel(k), static_cast<uint32_t>(c.sizes[k - 1] - 1), 1);
        }
        fresh.SetRecordCount(c.count);
        fresh.Stop();
        EXPECT_EQ(fresh.State(), CStore::kStateHolding) << c.name;
        EXPECT_EQ(fresh.RecordCount(), c.countAfter) << c.name;
        EXPECT_EQ(fresh.Channel(1).ReadingCount(), c.sizes[0]) << c.name;  // series keep their readings
    }
}

TEST_F(MeasurementDataManagerTest, DeleteBeforeAndAfter) {
    store.Start(data_test::ThreeChannelSetup(5));  // 2sec
    for (uint32_t i = 0; i < 20; ++i) CStore::SetReading(store.Channel(1), i, static_cast<int16_t>(i));
    store.SetRecordCount(20);
    store.Stop();
    const VEK::CSystemTime start = store.StartTime();

    store.DeleteBefore(5);
    EXPECT_EQ(store.RecordCount(), 15u);
    EXPECT_EQ(CStore::GetReading(store.Channel(1), 0), 5);
    EXPECT_EQ(store.StartTime(), start.AddMilliseconds(5 * 2000));
    EXPECT_TRUE(store.IsModified());

    store.DeleteAfter(5);
    EXPECT_EQ(store.RecordCount(), 6u);
    EXPECT_EQ(store.Channel(1).ReadingCount(), 6u);
    EXPECT_EQ(CStore::GetReading(store.Channel(1), 5), 10);

    store.DeleteAfter(50);  // beyond the end: nothing to cut, no records invented
    EXPECT_EQ(store.RecordCount(), 6u);
    store.DeleteBefore(25);  // beyond the end: everything goes, the count does not wrap
    EXPECT_EQ(store.RecordCount(), 0u);
    EXPECT_EQ(store.Channel(1).ReadingCount(), 0u);
}

TEST_F(MeasurementDataManagerTest, InitChannelsAtFastRatesTakesOnlyChannels1To20AndEmptiesTheRest) {
    TMeasurementSetup all;
    all.pollingSetting.SetRateCode(4);  // 1sec: all hundred
    for (int k = 1; k <= 100; ++k) {
        all.pollingSetting.SetInUse(k, true);
        all.thermocoupleType[k] = 2;
        all.comment[k] = "c" + std::to_string(k);
    }
    store.Start(all);
    ASSERT_TRUE(Append(50, 0, {kAt25}));
    EXPECT_EQ(store.ChannelsInUse().size(), 100u);

    all.pollingSetting.SetRateCode(1);  // 100msec
    store.Stop();
    store.Start(all);
    std::vector<int32_t> expected;
    for (int k = 1; k <= 20; ++k) expected.push_back(k);
    EXPECT_EQ(store.ChannelsInUse(), expected);
    EXPECT_FALSE(store.Channel(21).InUse());
    EXPECT_FALSE(store.Channel(50).InUse());
    EXPECT_EQ(store.Channel(50).ReadingCount(), 0u);  // no reading of the earlier run on the new time base
    EXPECT_FALSE(Append(50, 0, {kAt25}));
    EXPECT_EQ(store.Channel(20).ThermocoupleType(), 2);
    EXPECT_EQ(store.Channel(20).Comment(), "c20");
    EXPECT_EQ(store.SamplingRateCode(), 1u);
}

TEST_F(MeasurementDataManagerTest, StartFromRestBeginsAtZeroWhileMeasuringItKeepsTheCounter) {
    store.Start(data_test::ThreeChannelSetup());
    for (int i = 0; i < 300; ++i) store.AdvanceTick();
    EXPECT_EQ(store.RecordsThisRun(), 300u);

    // Restarted while the units keep numbering: the counter stays, record 0 is the current position.
    store.Start(data_test::ThreeChannelSetup());
    EXPECT_EQ(store.SequenceCounter(), 300u);
    EXPECT_EQ(store.IndexBase(), 300u);
    EXPECT_EQ(store.RecordsThisRun(), 0u);
    const auto ahead =
        StoreMeasurementReport(store, MeasurementReport(1, static_cast<uint8_t>(301 & 0xFF), {kAt25}));
    ASSERT_TRUE(ahead);
    EXPECT_EQ(ahead->recordIndex, 1u);
    // A report never moves the record clock: the run's records are its ticks.
    EXPECT_EQ(store.RecordsThisRun(), 0u);
    store.AdvanceTick();
    EXPECT_EQ(store.RecordsThisRun(), 1u);

    // After a stop the dongle starts polling afresh: counter and base start at 0.
    store.Stop();
    EXPECT_EQ(store.RecordsThisRun(), 0u);
    store.Start(data_test::ThreeChannelSetup());
    EXPECT_EQ(store.SequenceCounter(), 0u);
    EXPECT_EQ(store.IndexBase(), 0u);
    store.Reset(data_test::ThreeChannelSetup());
    EXPECT_EQ(store.State(), CStore::kStateEmpty);
}

TEST_F(MeasurementDataManagerTest, ReportsFromBeforeRecordZeroAreDroppedNeverFoldedOntoIt) {
    const struct {
        const char* name;
        bool restarted;  // started again while measuring at position 300
        int unit;
        uint8_t sequence;
    } cases[] = {
        {"fresh run: late report of the previous run", false, 1, 250},
        {"fresh run: unit numbering far ahead", false, 2, 100},
        {"restarted run: late report of a unit heard before", true, 1, static_cast<uint8_t>(290)},
        {"restarted run: late report of a unit not heard before", true, 2, static_cast<uint8_t>(290)},
    };
    for (const auto& c : cases) {
        CStore fresh;
        fresh.Start(data_test::ThreeChannelSetup());
        if (c.restarted) {
            for (uint32_t position = 0; position < 300; ++position) {
                const auto report = MeasurementReport(1, static_cast<uint8_t>(position), {kAt25});
                ASSERT_TRUE(StoreMeasurementReport(fresh, report));
                fresh.AdvanceTick();
            }
            fresh.Start(data_test::ThreeChannelSetup());
        }
        const auto base = static_cast<uint8_t>(fresh.IndexBase());
        const auto late = MeasurementReport(c.unit, c.sequence, {kAt50});
        EXPECT_FALSE(StoreMeasurementReport(fresh, late)) << c.name;
        EXPECT_EQ(fresh.RecordCount(), 0u) << c.name;
        // The true first reading still finds record 0 free; a report that fitted nowhere is
        // dropped at the latest now, as this one does not follow it.
        const auto first = MeasurementReport(c.unit, base, {kAt25});
        const auto stored = StoreMeasurementReport(fresh, first);
        ASSERT_TRUE(stored) << c.name;
        EXPECT_EQ(stored->recordIndex, 0u) << c.name;
        EXPECT_EQ(CStore::GetReading(fresh.Channel(c.unit), 0), 250) << c.name;
        EXPECT_EQ(fresh.DroppedSamples(), 1u) << c.name;
    }
}

TEST_F(MeasurementDataManagerTest, UnitInformationAndBattery) {
    const auto bytes = data_test::InformationReport(2, 0x100);
    TUnitInformation information;
    ASSERT_TRUE(DecodeUnitInformation(bytes.data(), bytes.size(), information));
    store.SetUnitInformation(2, information);
    store.SetUnitInformation(101, information);
    EXPECT_EQ(store.UnitInformation(2), information);
    EXPECT_FALSE(store.UnitInformation(101).IsPresent());
    EXPECT_FALSE(store.UnitInformation(3).IsPresent());
    EXPECT_TRUE(store.UpdateBattery(2, 12));
    EXPECT_FALSE(store.UpdateBattery(2, 12));
    EXPECT_FALSE(store.UpdateBattery(3, 12));  // nothing known of unit 3
    EXPECT_EQ(store.UnitInformation(2).Battery(), 12);
}

}  // namespace

// A file read into a store of its own replaces everything of the data, and only the data: the
// units' information stays, and the numbering of a next run starts afresh.
TEST_F(MeasurementDataManagerTest, TakeLoadedReplacesTheDataAndKeepsTheUnitInformation) {
    store.Start(data_test::ThreeChannelSetup());
    ASSERT_TRUE(Append(1, 0, {kAt25, kAt25, kAt25}));
    store.Stop();
    TUnitInformation information;
    information.bytes[0] = 4;
    information.bytes[1] = 2;
    store.SetUnitInformation(2, information);

    CStore loaded;
    loaded.Channel(5).SetInUse(true);
    loaded.Channel(5).SetComment("oven");
    loaded.Channel(5).SetThermocoupleType(kThermocoupleJ);
    CStore::SetReading(loaded.Channel(5), 1, 123);
    loaded.RefreshChannelsInUse();
    loaded.SetRecordCount(2);
    loaded.SetSamplingRateCode(7);
    loaded.SetSystemNumber(9);
    loaded.SetSavedPath("/data/x.csv");
    loaded.SetStartTime({2024, 1, 0, 2, 3, 4, 5, 0});
    loaded.SetState(CStore::kStateHolding);

    store.TakeLoaded(loaded);
    EXPECT_EQ(store.State(), CStore::kStateHolding);
    EXPECT_EQ(store.RecordCount(), 2u);
    EXPECT_EQ(store.SamplingRateCode(), 7u);
    EXPECT_EQ(store.SystemNumber(), 9u);
    EXPECT_EQ(store.SavedPath(), "/data/x.csv");
    EXPECT_EQ(store.StartTime(), (VEK::CSystemTime{2024, 1, 0, 2, 3, 4, 5, 0}));
    EXPECT_EQ(store.ChannelsInUse(), std::vector<int32_t>{5});
    EXPECT_FALSE(store.Channel(1).InUse());
    EXPECT_EQ(store.Channel(1).ReadingCount(), 0u);
    EXPECT_EQ(Readings(5), (std::vector<int16_t>{kReadingLost, 123}));
    EXPECT_EQ(store.Channel(5).Comment(), "oven");
    EXPECT_EQ(store.Channel(5).ThermocoupleType(), kThermocoupleJ);
    EXPECT_EQ(store.SequenceCounter(), 0u);
    EXPECT_EQ(store.UnitInformation(2), information);
}
