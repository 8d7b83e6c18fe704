// Where the record store puts a unit's samples: by the unit's own numbering, anchored to the record
// clock's ticks. The long runs with simulated units are tests/files/RecordRunSimulationTest.cpp.
#include <gtest/gtest.h>

#include <chrono>
#include <optional>
#include <vector>

#include "data/MeasurementDataManager.h"
#include "data/ReportBuilder.h"
#include "data/StoreMeasurementReport.h"

namespace {

using CStore = CMeasurementDataManager;

class RecordPlacementTest : public ::testing::Test {
protected:
    void SetUp() override { store.Start(data_test::ThreeChannelSetup()); }
    // Samples whose readings tell them apart: n / 2 degC.
    static data_test::TSample SampleOf(int n) { return {static_cast<uint16_t>(n % 500 * 64), 0}; }
    static int16_t ReadingOf(int n) { return static_cast<int16_t>(n % 500 * 5); }
    // A report of one sample n, numbered n mod 256 unless told otherwise.
    std::optional<TStoredReport> Send(int unit, int n, std::optional<int> number = std::nullopt) {
        const auto sequence = static_cast<uint8_t>(number.value_or(n));
        return StoreMeasurementReport(store, data_test::MeasurementReport(unit, sequence, {SampleOf(n)}));
    }
    void Tick(int periods = 1) {
        for (int i = 0; i < periods; ++i) store.AdvanceTick();
    }
    // Periods in which unit 1 and unit 2 report their sample of the period, numbered like the clock.
    void InStep(int periods) {
        for (int i = 0; i < periods; ++i) {
            const int record = static_cast<int>(store.RecordsThisRun());
            Send(1, record);
            Send(2, record);
            Tick();
        }
    }
    int16_t At(int unit, uint32_t record) const { return CStore::GetReading(store.Channel(unit), record); }

    CStore store;
};

TEST_F(RecordPlacementTest, AUnitAheadOfTheClockIsAnchoredToTheTicks) {
    InStep(10);
    // Unit 2 reports sample 14 while the clock is at record 10: far ahead, it waits...
    EXPECT_FALSE(Send(2, 14));
    EXPECT_EQ(store.RecordsThisRun(), 10u);
    Send(1, 10);
    Tick();
    // ...and is anchored at the ticks once its next report follows it.
    const auto next = Send(2, 15);
    ASSERT_TRUE(next);
    EXPECT_EQ(next->recordIndex, 10u);
    EXPECT_EQ(next->recordCount, 2u);
    EXPECT_EQ(At(2, 10), ReadingOf(14));
    EXPECT_EQ(At(2, 11), ReadingOf(15));
    EXPECT_EQ(store.RecordsThisRun(), 11u);
    EXPECT_EQ(store.DroppedSamples(), 0u);
}

// The clock's thread was kept from running for four periods while the receive thread was not:
// the units' reports of those periods are in step with the ticks due, not ahead of the clock.
TEST_F(RecordPlacementTest, AClockThreadHeldUpNeverMakesUnitsLookAhead) {
    InStep(10);
    store.SetClockOrigin(std::chrono::steady_clock::now() - std::chrono::milliseconds(450), 100);
    for (int record = 10; record < 15; ++record) {
        const auto stored = Send(1, record);
        ASSERT_TRUE(stored) << record;
        EXPECT_EQ(stored->recordIndex, static_cast<uint32_t>(record));
    }
    Tick(5);
    InStep(3);
    for (uint32_t record = 0; record < 18; ++record)
        EXPECT_EQ(At(1, record), ReadingOf(static_cast<int>(record)));
    EXPECT_EQ(store.DroppedSamples(), 0u);
}

TEST_F(RecordPlacementTest, AUnitDriftingAheadStaysWithinTheSlackAndDropsItsSurplus) {
    InStep(11);
    // Unit 1 makes two samples a period for three periods, then one: it creeps ahead up to the
    // slack, then goes back to the ticks; its three surplus samples have no record.
    int n = 11;
    for (int period = 11; period < 20; ++period) {
        Send(1, n++);
        if (period < 14)
            Send(1, n++);
        Tick();
    }
    for (int record = 11; record <= 15; ++record) EXPECT_EQ(At(1, record), ReadingOf(record)) << record;
    for (int record = 16; record < 20; ++record) EXPECT_EQ(At(1, record), ReadingOf(record + 3)) << record;
    EXPECT_EQ(store.DroppedSamples(), 3u);
    EXPECT_LE(store.RecordCount(), store.RecordsThisRun() + CRecordPlacer::kSlack);
}

TEST_F(RecordPlacementTest, AUnitRunningSlowIsMovedForwardToTheTicks) {
    InStep(10);
    // Unit 2 makes no sample in every third period: it falls behind one record each time, and is
    // brought back to the ticks once it lags more than the clock's slack.
    int n = 10;
    for (int period = 10; period < 40; ++period) {
        Send(1, period);
        if (period % 3 != 0) {
            const auto stored = Send(2, n++);
            ASSERT_TRUE(stored);
            EXPECT_LE(static_cast<int>(stored->recordIndex), period) << period;
            EXPECT_GE(static_cast<int>(stored->recordIndex), period - CRecordPlacer::kBehind - 1) << period;
        }
        Tick();
    }
    EXPECT_EQ(store.DroppedSamples(), 0u);
}

TEST_F(RecordPlacementTest, ALinkStallContinuesEachUnitsNumbering) {
    InStep(100);
    // 300 periods without a single report, then all of them at once, then the present.
    Tick(300);
    for (int n = 100; n <= 400; ++n) {
        Send(1, n);
        Send(2, n);
    }
    Tick();
    InStep(5);
    for (uint32_t record = 0; record < 405; ++record) {
        ASSERT_EQ(At(1, record), ReadingOf(static_cast<int>(record))) << record;
        ASSERT_EQ(At(2, record), ReadingOf(static_cast<int>(record))) << record;
    }
    EXPECT_EQ(store.DroppedSamples(), 0u);
}

TEST_F(RecordPlacementTest, UnitsSilentTogetherReportFromThePresent) {
    InStep(100);
    // Every unit out of reach for 300 periods: nothing was held back, the next reports are the present.
    Tick(300);
    InStep(3);
    EXPECT_EQ(At(1, 400), ReadingOf(400));
    EXPECT_EQ(At(2, 402), ReadingOf(402));
    EXPECT_EQ(At(1, 144), kReadingLost);  // the same number, 256 records earlier
    EXPECT_EQ(store.DroppedSamples(), 0u);
}

TEST_F(RecordPlacementTest, ANumberingRestartIsAnchoredOnceTheNextReportConfirmsIt) {
    InStep(50);
    // Unit 2 numbers afresh from 200 (a new battery): that report waits for the next one.
    Send(1, 50);
    EXPECT_FALSE(Send(2, 50, 200));
    Tick();
    Send(1, 51);
    const auto confirmed = Send(2, 51, 201);
    ASSERT_TRUE(confirmed);
    EXPECT_EQ(confirmed->recordIndex, 50u);
    EXPECT_EQ(confirmed->recordCount, 2u);
    Tick();
    ASSERT_TRUE(Send(2, 52, 202));
    EXPECT_EQ(At(2, 50), ReadingOf(50));
    EXPECT_EQ(At(2, 52), ReadingOf(52));
    EXPECT_EQ(store.DroppedSamples(), 0u);
}

TEST_F(RecordPlacementTest, AStrayFarLateReportIsDroppedAndCounted) {
    // Late by 300 (its number looks 44 behind), by 250 (6 ahead), by 254 (2 ahead) and by 20 (beyond
    // a late report's reach): none fits the unit's present, and the next report does not follow it.
    for (int late : {300, 250, 254, 20}) {
        store.Stop();
        store.Start(data_test::ThreeChannelSetup());
        InStep(600);
        const uint64_t before = store.DroppedSamples();
        EXPECT_FALSE(Send(2, 600 - late)) << late;
        Send(1, 600);
        ASSERT_TRUE(Send(2, 600)) << late;
        EXPECT_EQ(store.DroppedSamples(), before + 1) << late;
        for (uint32_t record = 0; record <= 600; ++record)
            ASSERT_EQ(At(2, record), ReadingOf(static_cast<int>(record))) << late << " " << record;
    }
}

TEST_F(RecordPlacementTest, DroppedSamplesAreToldOncePerUnitAndEpisode) {
    InStep(5);
    // Unit 2 runs a fifth fast for 3000 periods: a sample without a record every fifth period, told
    // once; so is unit 1's first report of a previous run.
    Send(1, 200, 200);
    int n = 5;
    for (int period = 5; period < 3005; ++period) {
        Send(1, period);
        Send(2, n++);
        if (period % 5 == 0)
            Send(2, n++);
        Tick();
    }
    const std::vector<TDropNotice> notices = store.TakeDropNotices();
    ASSERT_EQ(notices.size(), 2u);
    EXPECT_EQ(notices[0].unit, 1);
    EXPECT_EQ(notices[0].cause, EDropCause::kUnplaced);
    EXPECT_EQ(notices[1].unit, 2);
    EXPECT_EQ(notices[1].cause, EDropCause::kAheadOfClock);
    // Every surplus sample but those the unit is still ahead by at the end.
    EXPECT_GE(store.DroppedSamples(), 1u + 600u - CRecordPlacer::kSlack);
    EXPECT_LE(store.DroppedSamples(), 1u + 600u);
    EXPECT_TRUE(store.TakeDropNotices().empty());
}

}  // namespace
