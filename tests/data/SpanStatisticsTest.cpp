// The statistics of a span against a direct pass over the readings: spans inside one node and
// across the edges of the summary's nodes and of the 1024-record sums, reversed ends, one record,
// spans of only Lost or Out Of Range readings, °F data near the readings' limits, a span that grows
// while measuring, and the sums after every change the store makes to its series.
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "data/MeasurementDataManager.h"
#include "data/ReportBuilder.h"
#include "data/SpanStatistics.h"

namespace {

using CStore = CMeasurementDataManager;

// What a pass over every reading of the span gives.
TChannelStatistics Direct(const CStore::CChannel& channel, uint32_t a, uint32_t b) {
    TChannelStatistics expected;
    expected.atA = channel.Reading(a);
    expected.atB = channel.Reading(b);
    for (uint32_t i = std::min(a, b); i <= std::max(a, b); ++i) {
        const int16_t reading = channel.Reading(i);
        ++expected.records;
        if (!IsValidReading(reading))
            continue;
        if (expected.extremes.Empty() || reading < expected.extremes.min)
            expected.minRecord = i;
        if (expected.extremes.Empty() || reading > expected.extremes.max)
            expected.maxRecord = i;
        expected.extremes.Widen(reading);
        expected.sum += reading;
        ++expected.valid;
    }
    return expected;
}

void ExpectMatches(const CStore::CChannel& channel, uint32_t a, uint32_t b) {
    const TChannelStatistics expected = Direct(channel, a, b);
    const TChannelStatistics found = channel.Statistics(a, b);
    SCOPED_TRACE(std::to_string(a) + " .. " + std::to_string(b));
    EXPECT_EQ(found.atA, expected.atA);
    EXPECT_EQ(found.atB, expected.atB);
    EXPECT_EQ(found.extremes, expected.extremes);
    if (!expected.extremes.Empty()) {
        EXPECT_EQ(found.minRecord, expected.minRecord);
        EXPECT_EQ(found.maxRecord, expected.maxRecord);
    }
    EXPECT_EQ(found.sum, expected.sum);
    EXPECT_EQ(found.valid, expected.valid);
    EXPECT_EQ(found.records, expected.records);
    if (expected.valid > 0) {
        const double mean = static_cast<double>(expected.sum) / expected.valid / 10.0;
        EXPECT_NEAR(*found.MeanHundredths() / 100.0, mean, 0.005 + 1e-9);
    } else {
        EXPECT_FALSE(found.MeanHundredths());
    }
}

// A slow ramp with noise, Lost and Out Of Range readings, rare spikes; a run of Lost from 20 000
// and of Out Of Range from 30 000, 2000 records each.
int16_t Reading(std::mt19937& random, uint32_t i) {
    if (i >= 20000 && i < 22000)
        return kReadingLost;
    if (i >= 30000 && i < 32000)
        return kReadingOutOfRange;
    const int roll = static_cast<int>(random() % 1000);
    if (roll < 40)
        return kReadingLost;
    if (roll < 55)
        return kReadingOutOfRange;
    if (roll < 58)
        return static_cast<int16_t>(roll % 2 == 0 ? 12000 + roll : -1900 - roll);
    return static_cast<int16_t>(200 + static_cast<int>(i % 5000) / 10 + static_cast<int>(random() % 41) - 20);
}

class SpanStatisticsTest : public ::testing::Test {
protected:
    void SetUp() override { store.Start(data_test::ThreeChannelSetup()); }

    // Reports of one to four readings in order, as a run fills the series.
    void Measure(uint32_t records, int channel = 1) {
        for (uint32_t i = 0; i < records;) {
            const uint32_t count = std::min<uint32_t>(1 + random() % 4, records - i);
            Fill(channel, i, count);
            i += count;
        }
    }
    void Fill(int channel, uint32_t first, uint32_t count) {
        std::vector<int16_t> tenths(count);
        for (uint32_t j = 0; j < count; ++j) tenths[j] = Reading(random, first + j);
        store.Channel(channel).FillReadings(first, tenths.data(), count);
        store.SetRecordCount(std::max(store.RecordCount(), first + count));
    }
    CStore::CChannel& Channel(int channel = 1) { return store.Channel(channel); }

    CStore store;
    std::mt19937 random{36};
};

TEST_F(SpanStatisticsTest, SpansAgainstADirectPass) {
    Measure(70000);
    const struct {
        const char* what;
        uint32_t a, b;
    } spans[] = {
        {"inside one node of 16", 33, 46},
        {"inside one node of 1024", 1030, 1100},
        {"across a node edge of 1024", 1000, 1050},
        {"the two records beside an edge", 1023, 1024},
        {"across many nodes, ragged ends", 4095, 61441},
        {"whole nodes only", 2048, 10239},
        {"the whole run", 0, 69999},
        {"A after B", 5000, 100},
        {"A = B", 777, 777},
        {"only Lost", 20100, 21900},
        {"only Out Of Range", 30001, 31999},
        {"ending in the Lost run", 15000, 21000},
        {"past the stored readings", 69990, 70500},
    };
    for (const auto& span : spans) {
        SCOPED_TRACE(span.what);
        ExpectMatches(Channel(), span.a, span.b);
    }
    EXPECT_EQ(Channel().Statistics(20100, 21900).valid, 0u);
    EXPECT_EQ(Channel().Statistics(20100, 21900).Missing(), 1801u);
    EXPECT_TRUE(Channel().Statistics(30001, 31999).extremes.Empty());
    // Random spans of every size and position.
    std::uniform_int_distribution<uint32_t> position(0, 70100);
    for (int probe = 0; probe < 100; ++probe) ExpectMatches(Channel(), position(random), position(random));
}

TEST_F(SpanStatisticsTest, FahrenheitDataNearTheReadingsLimits) {
    store.Start(data_test::ThreeChannelSetup(4, 1));
    // 1300.0 °F and -200.0 °F, the limits a °F run stores, over nodes full of them, and the
    // extremes of the stored type a hand-set reading may hold.
    std::vector<int16_t> hot(5000, 13000), cold(5000, -2000);
    Channel().FillReadings(0, hot.data(), hot.size());
    Channel().FillReadings(5000, cold.data(), cold.size());
    CStore::SetReading(Channel(), 7000, 32767);
    CStore::SetReading(Channel(), 7001, -32766);
    store.SetRecordCount(10000);
    for (auto [a, b] : {std::pair{0u, 4999u}, {0u, 9999u}, {4096u, 8191u}, {9999u, 3u}})
        ExpectMatches(Channel(), a, b);
    const TSpanStatistics span = SpanStatistics(store, 0, 4999, {1});
    EXPECT_EQ(span.temperatureUnit, 1u);
    EXPECT_EQ(span.channels[0].MeanHundredths(), 130000);
    EXPECT_EQ(span.channels[0].DeltaTenths(), 0);
}

TEST_F(SpanStatisticsTest, ASpanThatGrowsWhileMeasuring) {
    // The window's span from record 0 to the newest record as reports arrive, late ones filling gaps.
    std::vector<uint32_t> skipped;
    for (uint32_t i = 0; i < 6000;) {
        const uint32_t count = 1 + random() % 4;
        if (random() % 8 == 0)
            skipped.push_back(i);
        else
            Fill(1, i, count);
        i += count;
        if (i % 97 < 4 && store.RecordCount() > 0)
            ExpectMatches(Channel(), 0, store.RecordCount() - 1);
    }
    for (uint32_t first : skipped) {
        Fill(1, first, 4);
        if (first % 5 == 0)
            ExpectMatches(Channel(), 1000, store.RecordCount() - 1);
    }
    ExpectMatches(Channel(), 0, store.RecordCount() - 1);
}

// Every way the store changes a series leaves the sums describing the readings.
TEST_F(SpanStatisticsTest, SumsFollowEveryChangeOfTheSeries) {
    Measure(9000);
    Measure(9000, 2);
    const auto expectAll = [&](const char* after) {
        SCOPED_TRACE(after);
        const uint32_t end = store.RecordCount() + 30;
        for (auto [a, b] : {std::pair{0u, end}, {1u, end / 2}, {end / 3, end - 40}})
            ExpectMatches(Channel(), a, b);
    };
    CStore::SetReading(Channel(), 1500, kReadingLost);  // a valid reading replaced
    CStore::SetReading(Channel(), 1501, 555);
    CStore::SetReading(Channel(), 12000, 77);  // far past the end: Lost in between
    expectAll("replaced readings");
    Channel().ResizeReadings(5000);
    Channel().ResizeReadings(5500);  // grows with Lost, not with the readings cut
    expectAll("a cut and a growth");
    store.SetRecordCount(5500);
    store.Stop();
    store.DeleteBefore(1029);
    expectAll("DeleteBefore");
    store.DeleteAfter(3000);
    expectAll("DeleteAfter");
    // Loaded data are taken by swapping series: channel 1's come with their sums.
    CStore loaded;
    loaded.Start(data_test::ThreeChannelSetup());
    std::vector<int16_t> tenths(3000, 100);
    tenths[2999] = 300;
    loaded.Channel(1).FillReadings(0, tenths.data(), tenths.size());
    loaded.SetRecordCount(3000);
    store.TakeLoaded(loaded);
    expectAll("TakeLoaded");
    EXPECT_EQ(Channel().Statistics(0, 2999).sum, 2999 * 100 + 300);
    Channel().ClearReadings();
    EXPECT_EQ(Channel().Statistics(0, 10).valid, 0u);
}

TEST(ChannelStatistics, MeanDeltaAndRateRoundHalfAwayFromZero) {
    TChannelStatistics statistics;
    statistics.atA = 200;
    statistics.atB = 215;
    statistics.sum = 5;  // 0.5 degrees over two readings: 0.25
    statistics.valid = 2;
    EXPECT_EQ(statistics.MeanHundredths(), 25);
    statistics.sum = -1;  // -0.1 over 8: -0.0125
    statistics.valid = 8;
    EXPECT_EQ(statistics.MeanHundredths(), -1);
    EXPECT_EQ(statistics.DeltaTenths(), 15);
    EXPECT_EQ(statistics.RatePerMinuteHundredths(60000), 150);  // 1.5 degrees in a minute
    EXPECT_EQ(statistics.RatePerMinuteHundredths(-90000), -100);
    EXPECT_EQ(statistics.RatePerMinuteHundredths(7 * 60000), 21);  // 0.2142...
    EXPECT_EQ(statistics.RatePerMinuteHundredths(8 * 60000), 19);  // 0.1875
    EXPECT_FALSE(statistics.RatePerMinuteHundredths(0));
    statistics.atB = kReadingOutOfRange;
    EXPECT_FALSE(statistics.DeltaTenths());
    EXPECT_FALSE(statistics.RatePerMinuteHundredths(60000));
    statistics.valid = 0;
    EXPECT_FALSE(statistics.MeanHundredths());
}

}  // namespace
