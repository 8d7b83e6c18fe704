#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <thread>
#include <vector>

#include "data/MeasurementDataManager.h"
#include "data/ReportBuilder.h"
#include "data/StoreMeasurementReport.h"

namespace {

// The receive thread appends while the tick thread advances the clock and completes records, and
// the window thread reads series, counts, unit information and the completed records: every reading
// must land at its record exactly once, and a completed record never changes.
TEST(MeasurementDataManagerThreads, AppendAgainstTicksAndReaders) {
    constexpr int kChannels = 10;
    constexpr uint32_t kRecords = 4000;
    TMeasurementSetup setup;
    setup.pollingSetting.SetRateCode(4);
    for (int k = 1; k <= kChannels; ++k) setup.pollingSetting.SetInUse(k, true);
    CMeasurementDataManager store;
    store.Start(setup);

    std::atomic<uint32_t> sent{0};  // records whose reports went in
    std::atomic<bool> done{false};
    std::thread receive([&] {
        const data_test::TSample at25{0x0C80, 0};
        for (uint32_t r = 0; r < kRecords; r += 4) {
            // Reports of four samples, sent once the period of the last has begun.
            while (store.SequenceCounter() < r + 3) std::this_thread::yield();
            for (int k = 1; k <= kChannels; ++k) {
                const auto report = data_test::MeasurementReport(
                    k, static_cast<uint8_t>(r), {at25, at25, at25, at25}, static_cast<uint8_t>(r));
                EXPECT_TRUE(StoreMeasurementReport(store, report));
                if (r % 64 == 0) {
                    const auto info = data_test::InformationReport(k, 0);
                    TUnitInformation information;
                    EXPECT_TRUE(DecodeUnitInformation(info.data(), info.size(), information));
                    store.SetUnitInformation(k, information);
                }
                store.UpdateBattery(k, static_cast<uint8_t>(r));
            }
            sent = r + 4;
        }
    });
    std::thread tick([&] {
        // Never more than a few periods ahead of the reports, well inside a late report's reach.
        for (uint32_t i = 0; i < kRecords; ++i) {
            while (i > sent + 4) std::this_thread::yield();
            store.AdvanceTick();
        }
    });
    std::thread window([&] {
        uint64_t seen = 0;
        uint32_t completedBefore = 0;
        do {  // at least one pass, even when the writers finish before this thread runs
            const uint32_t count = store.RecordCount();
            const uint32_t completed = store.CompletedRecords();
            EXPECT_GE(completed, completedBefore);
            for (int k = 1; k <= kChannels; ++k) {
                const CMeasurementDataManager::CChannel& channel = store.Channel(k);
                if (count != 0)
                    seen += CMeasurementDataManager::GetReading(channel, count - 1) == 250;
                for (uint32_t r = completedBefore; r < completed; ++r)
                    ASSERT_EQ(CMeasurementDataManager::GetReading(channel, r), 250)
                        << "completed record " << r;
                seen += channel.InternalTemperature() == 250;
                seen += store.UnitInformation(k).Battery();
            }
            completedBefore = completed;
            seen += store.RecordsThisRun();
        } while (!done);
        EXPECT_GT(seen, 0u);
    });
    receive.join();
    tick.join();
    done = true;
    window.join();

    EXPECT_EQ(store.RecordCount(), kRecords);
    EXPECT_EQ(store.DroppedSamples(), 0u);
    EXPECT_GE(store.CompletedRecords(), kRecords - 4);
    for (int k = 1; k <= kChannels; ++k) {
        std::vector<int16_t> readings(kRecords + 1, 0);
        ASSERT_EQ(store.Channel(k).CopyReadings(0, readings.size(), readings.data()), kRecords) << k;
        for (uint32_t r = 0; r < kRecords; ++r)
            ASSERT_EQ(readings[r], 250) << "channel " << k << " record " << r;
    }
}

// Reports fill a channel on the receive thread while the window thread draws envelopes of it:
// every envelope lies within the readings ever stored, and the summary ends equal to the readings.
TEST(MeasurementDataManagerThreads, EnvelopeWhileFilling) {
    constexpr size_t kRecords = 60000;
    CMeasurementDataManager store;
    store.Start(data_test::ThreeChannelSetup());
    CMeasurementDataManager::CChannel& channel = store.Channel(2);
    std::atomic<bool> done{false};
    std::thread receive([&] {
        // Forward in reports of four, every seventh report a second later (a late fill).
        for (size_t i = 0; i < kRecords; i += 4) {
            const size_t first = i % 28 == 0 && i >= 8 ? i - 8 : i;
            const int16_t tenths[4] = {static_cast<int16_t>(first % 3000), kReadingLost,
                                       static_cast<int16_t>(-(static_cast<int>(first) % 1000)), 400};
            channel.FillReadings(first, tenths, 4);
            if (first != i)
                channel.FillReadings(i, tenths, 4);
        }
        done = true;
    });
    std::vector<TReadingExtremes> columns(1200);
    do {
        const size_t end = channel.ReadingCount();
        channel.Envelope(TEnvelopeGrid{0, kRecords, columns.size(), end}, 0, columns.size(), columns.data());
        for (const TReadingExtremes& column : columns) {
            if (column.Empty())
                continue;
            ASSERT_GE(column.min, -999);
            ASSERT_LE(column.max, 2999);
        }
    } while (!done);
    receive.join();
    std::vector<int16_t> readings(kRecords);
    ASSERT_EQ(channel.CopyReadings(0, kRecords, readings.data()), kRecords);
    for (size_t first = 0; first < kRecords; first += 4999) {
        TReadingExtremes brute;
        for (size_t i = first; i < std::min(kRecords, first + 4999); ++i) brute.Widen(readings[i]);
        ASSERT_EQ(channel.Extremes(first, first + 4999), brute) << first;
    }
}

}  // namespace
