// The span window's figures on one core: the statistics of 100 channels of 10^7 records (and 10^6)
// over spans of one record, of a few hundred records across node edges, of a million records with
// ragged ends and of the whole data. The readings are a slow ramp with noise, Lost and Out Of
// Range. Counters: the bytes per reading of the summary with the sums, and of the sums alone.
#include <benchmark/benchmark.h>

#include <map>
#include <memory>
#include <random>
#include <vector>

#include "data/SpanStatistics.h"

namespace {

constexpr int kChannels = 100;

// Filled as a load fills it: a block of 1024 records at a time.
void FillChannel(CMeasurementChannel& channel, uint32_t records, int number) {
    std::mt19937 random(number);
    std::vector<int16_t> block(1024);
    for (uint32_t first = 0; first < records; first += block.size()) {
        const auto count = std::min<uint32_t>(static_cast<uint32_t>(block.size()), records - first);
        for (uint32_t j = 0; j < count; ++j) {
            const uint32_t roll = random() % 1000;
            block[j] = roll < 10   ? kReadingLost
                       : roll < 15 ? kReadingOutOfRange
                                   : static_cast<int16_t>(200 + number * 10 + (first + j) / 20000 +
                                                          static_cast<int>(random() % 41) - 20);
        }
        channel.ResizeReadings(first + count);
        channel.FillReadings(first, block.data(), count);
    }
}

const CMeasurementDataManager& Store(uint32_t records) {
    static std::map<uint32_t, std::unique_ptr<CMeasurementDataManager>> stores;
    auto& store = stores[records];
    if (!store) {
        store = std::make_unique<CMeasurementDataManager>();
        TMeasurementSetup setup;
        setup.pollingSetting.SetRateCode(4);
        for (int k = 1; k <= kChannels; ++k) setup.pollingSetting.SetInUse(k, true);
        store->Start(setup);
        for (int k = 1; k <= kChannels; ++k) FillChannel(store->Channel(k), records, k);
        store->SetRecordCount(records);
        store->Stop();
    }
    return *store;
}

// Args: records, span (0: one record, 1: 777 records across node edges, 2: a million records
// with ragged ends, 3: the whole data).
void BM_SpanStatistics(benchmark::State& state) {
    const auto records = static_cast<uint32_t>(state.range(0));
    const CMeasurementDataManager& store = Store(records);
    const std::vector<int32_t> channels = store.ChannelsInUse();
    uint32_t a = records / 3 + 1000, b = a;
    switch (state.range(1)) {
        case 1:
            b = a + 776;
            break;
        case 2:
            a = records / 2 - 517;
            b = a + 1'000'000 - 1 < records ? a + 1'000'000 - 1 : records - 1;
            break;
        case 3:
            a = 0;
            b = records - 1;
            break;
        default:
            break;
    }
    for (auto _ : state) {
        // B before A, as often as not: the same work.
        const TSpanStatistics span = SpanStatistics(store, b, a, channels);
        benchmark::DoNotOptimize(span.channels.data());
    }
    size_t summary = 0;
    for (int k = 1; k <= kChannels; ++k) summary += store.Channel(k).SummaryBytes();
    const double readings = double(records) * kChannels;
    state.counters["summary_bytes_per_reading"] = summary / readings;
    state.counters["sums_bytes_per_reading"] = 8.0 / CReadingSums::kNodeRecords;
    state.counters["span_records"] = b - a + 1;
}

BENCHMARK(BM_SpanStatistics)
    ->ArgNames({"records", "span"})
    ->ArgsProduct({{1'000'000, 10'000'000}, {0, 1, 2, 3}})
    ->Repetitions(10)
    ->ReportAggregatesOnly(true)
    ->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
