// What publishing costs, with the broker on loopback: the front end's hand-over and the publisher
// thread's JSON, queue and network work, the channel values and the acknowledgements; and the same
// fed by the controller's feed from the record store. Records come at their real rate, so the
// process's CPU time against the elapsed periods is the share of a core.
#include <benchmark/benchmark.h>

#include <ctime>
#include <filesystem>
#include <optional>
#include <thread>

#include "SilentBroker.h"  // tests/publish
#include "TestBroker.h"
#include "controller/RecordPublisher.h"
#include "data/MeasurementDataManager.h"
#include "data/SamplingRate.h"
#include "publish/MqttPublisher.h"
#include "support/TestHome.h"

namespace {

using namespace std::chrono_literals;

double ProcessCpuSeconds() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

TPublishRecord Record(uint32_t number, int channels, uint32_t rateMs) {
    TPublishRecord record;
    record.number = number;
    record.timeMs = 1709296496000 + int64_t{number} * rateMs;
    record.rateMs = rateMs;
    for (int k = 1; k <= channels; ++k) record.SetReading(k, static_cast<int16_t>(200 + (number + k) % 300));
    return record;
}

bool WaitFor(const std::function<bool()>& condition, std::chrono::seconds timeout = 10s) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(1ms);
    }
    return true;
}

// A broker of the bench's own on loopback and the connection to it; nothing when it cannot run.
std::optional<TMqttConnection> StartBroker(benchmark::State& state, CTestBroker& broker) {
    if (CTestBroker::Program().empty()) {
        state.SkipWithError("mosquitto is not installed (scripts/setup.sh installs it)");
        return std::nullopt;
    }
    if (!broker.Start()) {
        state.SkipWithError("the broker did not start");
        return std::nullopt;
    }
    TMqttSettings settings;
    settings.url = broker.Url();
    TMqttConnection connection;
    std::string error;
    TMqttConnection::Resolve(settings, connection, error);
    return connection;
}

void Report(benchmark::State& state, bool delivered, double cpuSeconds, uint32_t records, uint32_t rateMs) {
    if (!delivered) {
        state.SkipWithError("records were not acknowledged");
        return;
    }
    const double cpuPerRecord = cpuSeconds / records;
    state.counters["cpu_us_per_record"] = cpuPerRecord * 1e6;
    state.counters["core_percent_at_rate"] = cpuPerRecord * 1000.0 / rateMs * 100.0;
}

void PublishToLoopbackBroker(benchmark::State& state) {
    const int channels = static_cast<int>(state.range(0));
    const auto rateMs = static_cast<uint32_t>(state.range(1));
    testing_support::TestHome();  // the broker's folder, the spill file and the log stay in it
    CTestBroker broker;
    const std::optional<TMqttConnection> connection = StartBroker(state, broker);
    if (!connection)
        return;
    CMqttPublisher publisher(*connection, "bench_publish", 5);
    publisher.SetLog([](const std::string&) {});
    publisher.SetSpillFolder(broker.Folder());
    publisher.Start();
    publisher.SetRunState(ERunState::kMeasuring);
    if (!WaitFor([&] { return publisher.Status().state == TMqttStatus::EState::kConnected; })) {
        state.SkipWithError("no connection to the broker");
        return;
    }
    uint32_t number = 0;
    const double cpuBefore = ProcessCpuSeconds();
    for (auto _ : state) {
        publisher.Publish(Record(++number, channels, rateMs));
        std::this_thread::sleep_for(std::chrono::milliseconds(rateMs));
    }
    const bool delivered = WaitFor([&] { return publisher.Status().delivered == number; });
    const double cpuSeconds = ProcessCpuSeconds() - cpuBefore;
    publisher.Stop(1s);
    Report(state, delivered, cpuSeconds, number, rateMs);
}

// As the controller does it: each sampling tick the store gets a record's readings (the recording
// itself, a small part of the figure) and the feed publishes the records that became complete.
void PublishFromTheStore(benchmark::State& state) {
    const int channels = static_cast<int>(state.range(0));
    const auto rateMs = static_cast<uint32_t>(state.range(1));
    testing_support::TestHome();
    CTestBroker broker;
    const std::optional<TMqttConnection> connection = StartBroker(state, broker);
    if (!connection)
        return;
    TMeasurementSetup setup;
    setup.systemNumber = 5;
    setup.pollingSetting.SetRateCode(rateMs < 1000 ? 1 : 4);  // 100 ms or 1 s
    for (int k = 1; k <= channels; ++k) setup.pollingSetting.SetInUse(k, true);
    CMeasurementDataManager store;
    store.Start(setup);
    CRecordPublisher publisher(*connection, "bench_publish");
    publisher.Follow(5);
    publisher.RunStarted(store, 0);
    if (!WaitFor([&] { return publisher.Status().state == TMqttStatus::EState::kConnected; })) {
        state.SkipWithError("no connection to the broker");
        return;
    }
    uint32_t records = 0;
    const double cpuBefore = ProcessCpuSeconds();
    for (auto _ : state) {
        for (int k = 1; k <= channels; ++k)
            CMeasurementDataManager::SetReading(store.Channel(k), records,
                                                static_cast<int16_t>(200 + (records + k) % 300));
        store.AdvanceTick();
        store.SetRecordCount(++records);
        publisher.PublishComplete(store);
        std::this_thread::sleep_for(std::chrono::milliseconds(rateMs));
    }
    store.Stop();
    publisher.RunEnded(store, ERunState::kFinished);
    const bool delivered = WaitFor([&] { return publisher.Status().delivered == records; });
    const double cpuSeconds = ProcessCpuSeconds() - cpuBefore;
    publisher.Stop(1s);
    Report(state, delivered, cpuSeconds, records, rateMs);
}

// A day of records at 100 ms waits in memory for a broker that takes the connection and never
// answers; the time from the stop (with the recorder's drain) until the publisher is gone, which
// writes them all to the spill file.
void StopWithADayWaiting(benchmark::State& state) {
    constexpr uint32_t kDay = 864'000;
    testing_support::TestHome();
    CSilentBroker silent(false);
    TMqttConnection connection;
    std::string error;
    TMqttEndpoint::Parse(silent.Url(), connection.endpoint, error);
    connection.prefix = "hollowmere";
    for (auto _ : state) {
        state.PauseTiming();
        auto publisher = std::make_unique<CMqttPublisher>(connection, "bench_publish", 5);
        publisher->SetLog([](const std::string&) {});
        publisher->SetSpillFolder(testing_support::TestHome() + "/spill");
        std::filesystem::remove_all(testing_support::TestHome() + "/spill");
        publisher->Start();
        for (uint32_t n = 1; n <= kDay; ++n) publisher->Publish(Record(n, 20, 100));
        if (!WaitFor([&] { return publisher->Status().waiting == kDay; }, 300s)) {
            state.SkipWithError("the records did not reach the queue");
            return;
        }
        state.ResumeTiming();
        publisher->Stop(10s);
        publisher.reset();
    }
    state.counters["records"] = kDay;
}

}  // namespace

BENCHMARK(StopWithADayWaiting)->Iterations(1)->UseRealTime()->Unit(benchmark::kSecond);

// channels, sampling period in ms
BENCHMARK(PublishToLoopbackBroker)
    ->Args({100, 1000})
    ->Iterations(20)
    ->MeasureProcessCPUTime()
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(PublishToLoopbackBroker)
    ->Args({20, 100})
    ->Iterations(100)
    ->MeasureProcessCPUTime()
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(PublishFromTheStore)
    ->Args({100, 1000})
    ->Iterations(20)
    ->MeasureProcessCPUTime()
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(PublishFromTheStore)
    ->Args({20, 100})
    ->Iterations(100)
    ->MeasureProcessCPUTime()
    ->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
