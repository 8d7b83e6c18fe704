#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

#include "data/MeasurementDataManager.h"
#include "data/ReportBuilder.h"

namespace {

using CStore = CMeasurementDataManager;

std::vector<int16_t> Readings(const CStore::CChannel& channel) {
    std::vector<int16_t> readings(channel.ReadingCount());
    channel.CopyReadings(0, readings.size(), readings.data());
    return readings;
}

TReadingExtremes BruteExtremes(const std::vector<int16_t>& readings, size_t first, size_t end) {
    TReadingExtremes extremes;
    for (size_t i = first; i < std::min(end, readings.size()); ++i) extremes.Widen(readings[i]);
    return extremes;
}

// The summary against the readings themselves: ranges of every size and position, and grids from
// one record per column to thousands, each record in its nominal column or the next.
void ExpectSummaryMatches(const CStore::CChannel& channel, size_t end, std::mt19937& random) {
    const std::vector<int16_t> readings = Readings(channel);
    const size_t size = readings.size();
    std::uniform_int_distribution<size_t> position(0, size + 20);
    for (int probe = 0; probe < 300; ++probe) {
        size_t a = position(random), b = position(random);
        if (a > b)
            std::swap(a, b);
        ASSERT_EQ(channel.Extremes(a, b), BruteExtremes(readings, a, b)) << a << ".." << b << " of " << size;
    }
    for (size_t columns : {1u, 7u, 300u, 1200u}) {
        for (size_t span : {columns, columns * 3 + 1, size_t{10000}, size + 5}) {
            const size_t first = position(random) / 2;
            const TEnvelopeGrid grid{first, span, columns, end};
            std::vector<TReadingExtremes> envelope(columns);
            channel.Envelope(grid, 0, columns, envelope.data());
            std::vector<TReadingExtremes> brute(columns);
            size_t previous = 0;
            for (size_t i = first; i < std::min({first + span, end, size}); ++i) {
                const size_t nominal = (i - first) * columns / span;
                const size_t column = grid.ColumnOf(i);
                ASSERT_TRUE(column == nominal || column == nominal + 1) << i;
                ASSERT_GE(column, previous);
                previous = column;
                brute[column].Widen(readings[i]);
            }
            ASSERT_EQ(envelope, brute) << "first " << first << " span " << span << " columns " << columns;
            // A part of the columns gives the same as the whole.
            const size_t from = columns / 3, to = std::max(from, columns * 2 / 3);
            std::vector<TReadingExtremes> part(to - from);
            channel.Envelope(grid, from, to, part.data());
            ASSERT_TRUE(
                std::equal(part.begin(), part.end(), envelope.begin() + static_cast<ptrdiff_t>(from)));
        }
    }
}

// A slow ramp with noise, some Lost and Out Of Range readings, rare spikes.
int16_t RandomReading(std::mt19937& random, size_t i) {
    const int roll = static_cast<int>(random() % 1000);
    if (roll < 40)
        return kReadingLost;
    if (roll < 60)
        return kReadingOutOfRange;
    if (roll < 63)
        return static_cast<int16_t>(roll % 2 == 0 ? 9000 + roll : -1000 - roll);
    return static_cast<int16_t>(200 + static_cast<int>(i % 5000) / 10 + static_cast<int>(random() % 41) - 20);
}

class ReadingSummaryTest : public ::testing::Test {
protected:
    void SetUp() override { store.Start(data_test::ThreeChannelSetup()); }

    // Reports of one to four readings in order, with every tenth report skipped (filled late).
    std::vector<size_t> AppendRun(size_t records) {
        std::vector<size_t> skipped;
        for (size_t i = 0; i < records;) {
            const size_t count = std::min<size_t>(1 + random() % 4, records - i);
            if (random() % 10 == 0) {
                skipped.push_back(i);
            } else {
                Fill(i, count);
            }
            i += count;
        }
        return skipped;
    }
    void Fill(size_t first, size_t count) {
        std::vector<int16_t> tenths(count);
        for (size_t j = 0; j < count; ++j) tenths[j] = RandomReading(random, first + j);
        channel().FillReadings(first, tenths.data(), count);
        store.SetRecordCount(static_cast<uint32_t>(std::max<size_t>(store.RecordCount(), first + count)));
    }
    CStore::CChannel& channel() { return store.Channel(1); }

    CStore store;
    std::mt19937 random{20240611};
};

TEST_F(ReadingSummaryTest, FollowsAppendsLateFillsStopAndDeletions) {
    const std::vector<size_t> skipped = AppendRun(70000);
    ExpectSummaryMatches(channel(), store.RecordCount(), random);

    for (size_t first : skipped) Fill(first, 4);  // late reports fill the gaps
    ExpectSummaryMatches(channel(), store.RecordCount(), random);

    // The stop drops the last second from the record count; the series keep those readings.
    store.SetRecordCount(store.RecordCount() - 7);
    store.Stop();
    ExpectSummaryMatches(channel(), store.RecordCount(), random);

    store.DeleteBefore(4099);
    ExpectSummaryMatches(channel(), store.RecordCount(), random);
    store.DeleteAfter(52000);
    ExpectSummaryMatches(channel(), store.RecordCount(), random);
    store.DeleteAfter(17);
    ExpectSummaryMatches(channel(), store.RecordCount(), random);
}

TEST_F(ReadingSummaryTest, OverwritesGrowthAndClearing) {
    AppendRun(5000);
    // A replaced extreme narrows the nodes above it.
    const std::vector<int16_t> readings = Readings(channel());
    const size_t highest =
        static_cast<size_t>(std::max_element(readings.begin(), readings.end()) - readings.begin());
    CStore::SetReading(channel(), static_cast<uint32_t>(highest), 0);
    CStore::SetReading(channel(), 100000, 77);  // far past the end: Lost in between
    ExpectSummaryMatches(channel(), 200000, random);
    EXPECT_EQ(channel().Extremes(5000, 200000), (TReadingExtremes{77, 77}));

    channel().ResizeReadings(3);
    ExpectSummaryMatches(channel(), 3, random);
    channel().ResizeReadings(4096 * 3 + 5);  // grows with Lost
    ExpectSummaryMatches(channel(), 20000, random);

    channel().ClearReadings();
    EXPECT_TRUE(channel().Extremes(0, 100).Empty());
    EXPECT_EQ(channel().SummaryBytes(), 0u);
}

// A load reads into a store of its own, which the window's store then takes: each series keeps
// the summary that saw its readings, whatever the taking store held before (a run, or nothing),
// and a cut after the load works on it.
TEST_F(ReadingSummaryTest, TakenDataBringTheirSummary) {
    for (const bool runBefore : {true, false}) {
        store.Start(data_test::ThreeChannelSetup());
        if (runBefore)
            AppendRun(300);
        CStore loaded;
        std::vector<int16_t> tenths(30000);
        for (size_t i = 0; i < tenths.size(); ++i) tenths[i] = static_cast<int16_t>(500 + i % 17);
        loaded.Channel(1).ResizeReadings(tenths.size());
        loaded.Channel(1).FillReadings(0, tenths.data(), tenths.size());
        loaded.SetRecordCount(static_cast<uint32_t>(tenths.size()));
        loaded.SetState(CStore::kStateHolding);

        store.TakeLoaded(loaded);
        ExpectSummaryMatches(channel(), store.RecordCount(), random);
        ExpectSummaryMatches(loaded.Channel(1), store.RecordCount(), random);
        EXPECT_EQ(channel().Extremes(0, 30000), (TReadingExtremes{500, 516})) << runBefore;
        store.DeleteAfter(20000);
        ExpectSummaryMatches(channel(), store.RecordCount(), random);
        EXPECT_EQ(channel().Extremes(0, 20001), (TReadingExtremes{500, 516})) << runBefore;
    }
}

// The way a data file is loaded: the series grown a block at a time, then the block filled.
TEST_F(ReadingSummaryTest, FollowsBlockwiseLoading) {
    for (size_t block = 0; block < 40; ++block) {
        std::vector<int16_t> tenths(1024);
        for (size_t j = 0; j < tenths.size(); ++j) tenths[j] = RandomReading(random, block * 1024 + j);
        channel().ResizeReadings((block + 1) * 1024);
        channel().FillReadings(block * 1024, tenths.data(), tenths.size());
    }
    ExpectSummaryMatches(channel(), 40 * 1024, random);
}

// Nodes that were partial when the series shrank or grew a level, read once they are whole.
TEST_F(ReadingSummaryTest, PartialNodesAreRightOnceWhole) {
    std::vector<int16_t> tenths(40, 10);
    tenths[3] = -100;
    tenths[35] = 999;
    channel().FillReadings(0, tenths.data(), 16);  // one node
    std::vector<int16_t> rest(300, 50);
    channel().FillReadings(16, rest.data(), rest.size());  // a second level above it
    EXPECT_EQ(channel().Extremes(0, 256), (TReadingExtremes{-100, 50}));

    channel().ClearReadings();
    channel().FillReadings(0, tenths.data(), tenths.size());
    channel().ResizeReadings(34);  // the third node loses its 999
    channel().FillReadings(34, rest.data(), rest.size());
    EXPECT_EQ(channel().Extremes(32, 48), (TReadingExtremes{10, 50}));
    EXPECT_EQ(channel().Extremes(0, 256), (TReadingExtremes{-100, 50}));
}

// A run's readings arrive a report at a time; the summary's memory stays near an eighth of theirs.
TEST(ReadingSummaryMemory, CostsAnEighthOfTheReadings) {
    CStore store;
    store.Start(data_test::ThreeChannelSetup());
    std::vector<int16_t> tenths(1300000, 250);
    store.Channel(1).FillReadings(0, tenths.data(), tenths.size());
    for (size_t i = 0; i < tenths.size(); i += 4) store.Channel(2).FillReadings(i, tenths.data(), 4);
    const size_t readingBytes = tenths.size() * sizeof(int16_t);
    EXPECT_LE(store.Channel(1).SummaryBytes(), readingBytes * 14 / 100);
    EXPECT_LE(store.Channel(2).SummaryBytes(), readingBytes * 15 / 100);
    EXPECT_EQ(store.Channel(2).Extremes(0, tenths.size()), (TReadingExtremes{250, 250}));
}

// The grid's columns for a screen of 36 000 records on 1200 pixel columns: 30 records a column,
// edges on whole nodes of 16, the first and last exact.
TEST(EnvelopeGrid, ColumnsOnWholeNodesWithExactEnds) {
    const TEnvelopeGrid grid{1005, 36000, 1200, 1u << 30};
    EXPECT_EQ(grid.NodeRecords(), 16u);
    EXPECT_EQ(grid.ColumnStart(0), 1005u);
    EXPECT_EQ(grid.ColumnStart(1), 1024u);  // nominal 1035
    EXPECT_EQ(grid.ColumnStart(1200), 37005u);
    EXPECT_EQ(grid.ColumnOf(1034), 1u);  // nominally column 0, moved on to the next
    EXPECT_EQ(grid.ColumnOf(1023), 0u);
    EXPECT_EQ((TEnvelopeGrid{0, 100, 200, 100}.NodeRecords()), 1u);
}

}  // namespace
