// Receive path throughput: unit reports decoded and stored for 100 channels over one million records,
// and the resident memory each stored reading costs.
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <array>
#include <cstdint>
#include <cstdio>
#include <vector>

#include "data/MeasurementDataManager.h"
#include "data/StoreMeasurementReport.h"

namespace {

constexpr int kChannels = 100;
constexpr uint32_t kRecords = 1'000'000;
constexpr uint32_t kSamplesPerReport = 4;

size_t ResidentBytes() {
    long pages = 0;
    long resident = 0;
    if (FILE* statm = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(statm, "%ld %ld", &pages, &resident) != 2)
            resident = 0;
        std::fclose(statm);
    }
    return static_cast<size_t>(resident) * static_cast<size_t>(sysconf(_SC_PAGESIZE));
}

// A K-type unit at room temperature with a slowly varying signal, four samples per report.
std::vector<uint8_t> Report(int unit, uint32_t record) {
    std::vector<uint8_t> bytes = {3, static_cast<uint8_t>(unit), 90, kSamplesPerReport,
                                  static_cast<uint8_t>(record)};
    for (uint32_t i = 0; i < kSamplesPerReport; ++i) {
        const uint32_t count = 0x010000 + ((record + i) * 37 + static_cast<uint32_t>(unit) * 101) % 0x40000;
        bytes.insert(bytes.end(), {0x0C, 0x80, static_cast<uint8_t>(count >> 16),
                                   static_cast<uint8_t>(count >> 8), static_cast<uint8_t>(count)});
    }
    return bytes;
}

void DecodeAndStore(benchmark::State& state) {
    TMeasurementSetup setup;
    setup.pollingSetting.SetRateCode(4);  // 1sec: all hundred channels
    for (int k = 1; k <= kChannels; ++k) setup.pollingSetting.SetInUse(k, true);
    // Reports are prepared per sequence byte so that building them costs nothing in the loop.
    std::vector<std::array<std::vector<uint8_t>, kChannels + 1>> reports(256);
    for (uint32_t s = 0; s < 256; ++s) {
        for (int k = 1; k <= kChannels; ++k) reports[s][k] = Report(k, s);
    }

    uint64_t samples = 0;
    double bytesPerReading = 0;
    for (auto _ : state) {
        CMeasurementDataManager store;
        const size_t residentBefore = ResidentBytes();
        store.Start(setup);
        for (uint32_t record = 0; record < kRecords; record += kSamplesPerReport) {
            for (uint32_t i = 0; i < kSamplesPerReport; ++i) store.AdvanceTick();
            const auto& batch = reports[record & 0xFF];
            for (int k = 1; k <= kChannels; ++k) {
                if (!StoreMeasurementReport(store, batch[k]))
                    state.SkipWithError("report rejected");
            }
        }
        samples += uint64_t{kChannels} * kRecords;
        state.PauseTiming();
        bytesPerReading =
            static_cast<double>(ResidentBytes() - residentBefore) / (double{kChannels} * kRecords);
        if (store.RecordCount() != kRecords)
            state.SkipWithError("records missing");
        state.ResumeTiming();
    }
    state.counters["samples_per_second"] =
        benchmark::Counter(static_cast<double>(samples), benchmark::Counter::kIsRate);
    state.counters["bytes_per_reading"] = bytesPerReading;
}
BENCHMARK(DecodeAndStore)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
