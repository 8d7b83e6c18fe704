// The graph's pictures on one core: a full redraw (layers, the lines of every channel, the
// composed picture) and the plot of one sampling tick's new readings, for 20 and 100 channels of
// 10^6 and 10^7 stored records shown at 100, 36 000 and 360 000 records a screen (the last a 100 ms
// file at "1hour"), on areas of 1000 x 600 and 1800 x 900. The readings are a slow ramp with
// +-2 degC noise and Lost gaps. Counters: the layers' and the channels' summary bytes. Also what a
// load and a deletion cost the summary of a channel of 10^6 records.
#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <map>
#include <memory>
#include <random>
#include <vector>

#include "data/MeasurementDataManager.h"
#include "display/GraphRenderer.h"

namespace {

constexpr int kChannels = 100;

int16_t Reading(uint32_t i, uint32_t records, int channel, std::mt19937& random) {
    // A gap of 300 records every 50 000.
    if (i % 50000 >= 49700)
        return kReadingLost;
    const double ramp = 20.0 + 80.0 * i / records + 0.8 * channel;
    const double noise = static_cast<int>(random() % 41) / 10.0 - 2.0;
    return static_cast<int16_t>((ramp + noise) * 10);
}

// Filled as reports fill it: blocks of readings per channel.
void FillChannel(CMeasurementChannel& channel, uint32_t records, int number) {
    std::mt19937 random(number);
    std::vector<int16_t> block(4096);
    for (uint32_t first = 0; first < records; first += block.size()) {
        const uint32_t count = std::min<uint32_t>(block.size(), records - first);
        for (uint32_t j = 0; j < count; ++j) block[j] = Reading(first + j, records, number, random);
        channel.FillReadings(first, block.data(), count);
    }
}

// One store per record count, 100 channels; the 20-channel cases take channels 1 to 20 in use.
CMeasurementDataManager& Store(uint32_t records, int channelsInUse) {
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
    for (int k = 1; k <= kChannels; ++k) store->Channel(k).SetInUse(k <= channelsInUse);
    return *store;
}

struct TScreen {
    uint32_t rateCode;
    int32_t timeDiv;
};
// 100, 36 000 and 360 000 records a screen.
TScreen ScreenOf(int64_t recordsPerScreen) {
    switch (recordsPerScreen) {
        case 100:
            return {4, 4};
        case 36000:
            return {4, 13};
        default:
            return {1, 13};
    }
}

struct TView {
    TTimeAxis time;
    TTemperatureAxis temperature{100, 5};  // 0 .. 200 degC
};

// The screen that ends at the last record.
TView LastScreen(const benchmark::State& state, uint32_t records) {
    TView view;
    const TScreen screen = ScreenOf(state.range(2));
    view.time.SetSamplingInterval(screen.rateCode);
    view.time.SetTimeDiv(screen.timeDiv);
    view.time.FollowRecord(records - 1);
    return view;
}

QSize Area(int64_t index) {
    return index == 0 ? QSize(1000, 600) : QSize(1800, 900);
}

size_t SummaryBytes(const CMeasurementDataManager& store) {
    size_t bytes = 0;
    for (int k = 1; k <= kChannels; ++k) bytes += store.Channel(k).SummaryBytes();
    return bytes;
}

void SetCounters(benchmark::State& state, const CGraphRenderer& renderer,
                 const CMeasurementDataManager& store, const TView& view) {
    state.counters["layer_MB"] = renderer.LayerBytes() / 1e6;
    state.counters["summary_MB"] = SummaryBytes(store) / 1e6;
    state.counters["readings_MB"] = double(store.RecordCount()) * kChannels * sizeof(int16_t) / 1e6;
    state.counters["records_per_screen"] = view.time.samplesPerScreen;
}

// Args: records, channels, records per screen, area (0: 1000 x 600, 1: 1800 x 900).
void BM_FullRedraw(benchmark::State& state) {
    const auto records = static_cast<uint32_t>(state.range(0));
    const CMeasurementDataManager& store = Store(records, static_cast<int>(state.range(1)));
    const TView view = LastScreen(state, records);
    const QSize area = Area(state.range(3));
    const CGraphChannelVisibility visibility;
    const TDisplayColors colors;
    // The layers of an area exist before its redraws; allocating them is the resize's cost.
    CGraphRenderer renderer;
    renderer.Rebuild(area.width(), area.height(), colors);
    QImage picture;
    renderer.Compose(false, 0, picture);
    for (auto _ : state) {
        renderer.Rebuild(area.width(), area.height(), colors);
        const TGraphGeometry geometry = renderer.Geometry(view.time, view.temperature, records);
        renderer.PlotAllChannels(geometry, store, visibility, true);
        renderer.Compose(false, area.width() / 2, picture);
        benchmark::DoNotOptimize(picture.constBits());
    }
    SetCounters(state, renderer, store, view);
}

// The new readings of one tick, one per channel, plotted into a drawn picture's data layer.
void BM_TickPlot(benchmark::State& state) {
    const auto records = static_cast<uint32_t>(state.range(0));
    const CMeasurementDataManager& store = Store(records, static_cast<int>(state.range(1)));
    const TView view = LastScreen(state, records);
    const QSize area = Area(state.range(3));
    const CGraphChannelVisibility visibility;
    CGraphRenderer renderer;
    renderer.Rebuild(area.width(), area.height(), TDisplayColors{});
    const TGraphGeometry geometry = renderer.Geometry(view.time, view.temperature, records);
    renderer.PlotAllChannels(geometry, store, visibility, true);
    uint32_t record = view.time.start;
    for (auto _ : state) {
        for (int k = 1; k <= kChannels; ++k) renderer.PlotChannel(geometry, store, visibility, k, record, 1);
        record = record + 1 < records ? record + 1 : view.time.start;
    }
    SetCounters(state, renderer, store, view);
}

// A load: the series grown and filled a block of 1024 records at a time, the summary following.
void BM_LoadChannel(benchmark::State& state) {
    const auto records = static_cast<uint32_t>(state.range(0));
    std::mt19937 random(1);
    std::vector<int16_t> readings(records);
    for (uint32_t i = 0; i < records; ++i) readings[i] = Reading(i, records, 1, random);
    for (auto _ : state) {
        CMeasurementChannel channel;
        for (uint32_t first = 0; first < records; first += 1024) {
            const uint32_t count = std::min<uint32_t>(1024, records - first);
            channel.ResizeReadings(first + count);
            channel.FillReadings(first, readings.data() + first, count);
        }
        benchmark::DoNotOptimize(channel.Extremes(0, records));
    }
    state.SetItemsProcessed(state.iterations() * records);
}

// Delete Data Before Cursor: every node covers other records, so the summary is built anew.
void BM_DeleteBeforeRebuild(benchmark::State& state) {
    const auto records = static_cast<uint32_t>(state.range(0));
    CMeasurementChannel channel;
    FillChannel(channel, records + 1000, 1);
    for (auto _ : state) {
        channel.RemoveFrontReadings(1);
        benchmark::DoNotOptimize(channel.Extremes(0, records));
    }
    state.SetItemsProcessed(state.iterations() * records);
}

// Median of 20 repetitions.
void RenderArgs(benchmark::internal::Benchmark* b) {
    b->ArgNames({"records", "channels", "per_screen", "area"});
    for (int64_t records : {1'000'000, 10'000'000})
        for (int64_t channels : {20, 100})
            for (int64_t perScreen : {100, 36'000, 360'000})
                for (int64_t area : {0, 1}) b->Args({records, channels, perScreen, area});
    b->Repetitions(20)->ReportAggregatesOnly(true)->Unit(benchmark::kMillisecond);
}

BENCHMARK(BM_FullRedraw)->Apply(RenderArgs)->Iterations(5);
BENCHMARK(BM_TickPlot)->Apply(RenderArgs)->Iterations(200)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_LoadChannel)
    ->Arg(1'000'000)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DeleteBeforeRebuild)
    ->Arg(1'000'000)
    ->Iterations(5)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true)
    ->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    // QPainter draws the grid; no display is needed.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
