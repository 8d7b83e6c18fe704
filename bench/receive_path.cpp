// The receive path of the device link: HID payloads through the byte queue, the frame analysis and
// the listener, as the receive thread runs it.
#include <benchmark/benchmark.h>

#include <vector>

#include "link/PacketCommander.h"
#include "link/TestFramePacket.h"  // tests/link

namespace {

using namespace VEK;

constexpr size_t kHidPayload = 63;

class CCountingListener : public CPacketCommander::IListener {
public:
    void HandleUnclaimedFrame(IPacketCommandExecuter::IPacket&, int) override { ++frames; }
    void HandleDroppedByte(uint8_t, int) override { ++dropped; }
    bool HandleLinkState(int) override { return true; }
    int64_t frames = 0;
    int64_t dropped = 0;
};

// One input report's payload: the frame, then zero fill.
std::vector<uint8_t> Payload(const std::vector<uint8_t>& frame) {
    std::vector<uint8_t> payload(kHidPayload, 0);
    std::copy(frame.begin(), frame.end(), payload.begin());
    return payload;
}

void RunReports(benchmark::State& state, const std::vector<uint8_t>& payload) {
    link_test::CTestFramePacket parser;
    CCountingListener listener;
    CPacketCommander commander;
    commander.SetParser(&parser);
    commander.SetListener(&listener);
    CQueueingReporter& queueing = commander.Queueing();
    CReportEvent event = CReportEvent::Data(nullptr, payload.data(), payload.size());
    for (auto _ : state) {
        benchmark::DoNotOptimize(queueing.HandleReportEvent(event));
    }
    state.counters["frames_per_second"] =
        benchmark::Counter(static_cast<double>(listener.frames), benchmark::Counter::kIsRate);
    state.counters["dropped_per_report"] =
        benchmark::Counter(static_cast<double>(listener.dropped) / static_cast<double>(state.iterations()));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * payload.size()));
}

// A data-received event (0x42) with a 20-byte unit report, as the dongle forwards while polling.
void BM_DataEventReports(benchmark::State& state) {
    std::vector<uint8_t> report(20);
    for (size_t i = 0; i < report.size(); ++i) report[i] = static_cast<uint8_t>(0x30 + i);
    RunReports(state, Payload(link_test::CTestFramePacket::Frame(0x42, report)));
}
BENCHMARK(BM_DataEventReports);

// Worst case: every report holds a whole-payload frame with a wrong checksum, whose data are
// start bytes, so each byte is parsed as a possible frame start before it is dropped.
void BM_BadChecksumFlood(benchmark::State& state) {
    std::vector<uint8_t> frame =
        link_test::CTestFramePacket::Frame(0x42, std::vector<uint8_t>(kHidPayload - 5, 0x02));
    frame[frame.size() - 2] ^= 0xFF;
    RunReports(state, frame);
}
BENCHMARK(BM_BadChecksumFlood);

}  // namespace

BENCHMARK_MAIN();
