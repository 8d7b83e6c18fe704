// What publishing costs, with the broker on loopback: the front end's hand-over and the publisher
// thread's JSON, queue and network work, the channel values and the acknowledgements. Records come
// at their real rate, so the process's CPU time against the elapsed periods is the share of a core.
#include <benchmark/benchmark.h>

#include <ctime>
#include <thread>

#include "TestBroker.h"  // tests/publish
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

bool WaitFor(const std::function<bool()>& condition) {
    const auto deadline = std::chrono::steady_clock::now() + 10s;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(1ms);
    }
    return true;
}

void PublishToLoopbackBroker(benchmark::State& state) {
    const int channels = static_cast<int>(state.range(0));
    const auto rateMs = static_cast<uint32_t>(state.range(1));
    testing_support::TestHome();  // the broker's folder, the spill file and the log stay in it
    if (CTestBroker::Program().empty()) {
        state.SkipWithError("mosquitto is not installed (scripts/setup.sh installs it)");
        return;
    }
    CTestBroker broker;
    if (!broker.Start()) {
        state.SkipWithError("the broker did not start");
        return;
    }
    TMqttSettings settings;
    settings.url = broker.Url();
    TMqttConnection connection;
    std::string error;
    TMqttConnection::Resolve(settings, connection, error);
    CMqttPublisher publisher(connection, "bench_publish", 5);
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
    const double cpuPerRecord = (ProcessCpuSeconds() - cpuBefore) / number;
    publisher.Stop(1s);
    if (!delivered) {
        state.SkipWithError("records were not acknowledged");
        return;
    }
    state.counters["cpu_us_per_record"] = cpuPerRecord * 1e6;
    state.counters["core_percent_at_rate"] = cpuPerRecord * 1000.0 / rateMs * 100.0;
}

}  // namespace

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

BENCHMARK_MAIN();
