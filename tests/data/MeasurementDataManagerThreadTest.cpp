#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "data/MeasurementDataManager.h"
#include "data/ReportBuilder.h"
#include "data/StoreMeasurementReport.h"

namespace {

// The receive thread appends while the tick thread advances the counter and the window thread
// reads series, counts and unit information; every reading must land at its record exactly once.
TEST(MeasurementDataManagerThreads, AppendAgainstTicksAndReaders) {
    constexpr int kChannels = 10;
    constexpr uint32_t kRecords = 4000;
    constexpr int kTicks = 150;  // the counter runs ahead of the reports, well inside the 215 it tolerates
    TMeasurementSetup setup;
    setup.pollingSetting.SetRateCode(4);
    for (int k = 1; k <= kChannels; ++k) setup.pollingSetting.SetInUse(k, true);
    CMeasurementDataManager store;
    store.Start(setup);

    std::atomic<bool> done{false};
    std::thread receive([&] {
        const data_test::TSample at25{0x0C80, 0};
        for (uint32_t r = 0; r < kRecords; r += 4) {
            for (int k = 1; k <= kChannels; ++k) {
                const auto report = data_test::MeasurementReport(
                    k, static_cast<uint8_t>(r), {at25, at25, at25, at25}, static_cast<uint8_t>(r));
                ASSERT_TRUE(StoreMeasurementReport(store, report));
                if (r % 64 == 0) {
                    const auto info = data_test::InformationReport(k, 0);
                    TUnitInformation information;
                    ASSERT_TRUE(DecodeUnitInformation(info.data(), info.size(), information));
                    store.SetUnitInformation(k, information);
                }
                store.UpdateBattery(k, static_cast<uint8_t>(r));
            }
        }
    });
    std::thread tick([&] {
        for (int i = 0; i < kTicks; ++i) {
            store.AdvanceTick();
            std::this_thread::yield();
        }
    });
    std::thread window([&] {
        uint64_t seen = 0;
        do {  // at least one pass, even when the writers finish before this thread runs
            const uint32_t count = store.RecordCount();
            for (int k = 1; k <= kChannels; ++k) {
                const CMeasurementDataManager::CChannel& channel = store.Channel(k);
                if (count != 0)
                    seen += CMeasurementDataManager::GetReading(channel, count - 1) == 250;
                seen += channel.InternalTemperature() == 250;
                seen += store.UnitInformation(k).Battery();
            }
            seen += store.RecordsThisRun();
        } while (!done);
        EXPECT_GT(seen, 0u);
    });
    receive.join();
    tick.join();
    done = true;
    window.join();

    EXPECT_EQ(store.RecordCount(), kRecords);
    for (int k = 1; k <= kChannels; ++k) {
        std::vector<int16_t> readings(kRecords + 1, 0);
        ASSERT_EQ(store.Channel(k).CopyReadings(0, readings.size(), readings.data()), kRecords) << k;
        for (uint32_t r = 0; r < kRecords; ++r)
            ASSERT_EQ(readings[r], 250) << "channel " << k << " record " << r;
    }
}

}  // namespace
