// Feeds random bytes, cut into random chunks and mixed with idle and disconnect events, through
// the queueing of received bytes and the frame analysis of the packet commander. Checks that every
// byte ends up exactly once in a frame, among the dropped bytes or still in the queue, and that
// the frames and drops found do not depend on how the bytes were chunked.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <random>
#include <set>
#include <vector>

#include "link/PacketCommander.h"
#include "link/TestFramePacket.h"  // tests/link

namespace {

using namespace VEK;

struct TDrop {
    uint8_t byte;
    int code;
    bool operator==(const TDrop&) const = default;
};

class CRecorder : public CPacketCommander::IListener {
public:
    void HandleUnclaimedFrame(IPacketCommandExecuter::IPacket& parser, int) override {
        const auto& frame = static_cast<link_test::CTestFramePacket&>(parser).Bytes();
        frames.push_back(frame);
        consumed.insert(consumed.end(), frame.begin(), frame.end());
    }
    void HandleDroppedByte(uint8_t byte, int code) override {
        drops.push_back({byte, code});
        consumed.push_back(byte);
    }
    bool HandleLinkState(int) override { return true; }

    std::vector<std::vector<uint8_t>> frames;
    std::vector<TDrop> drops;
    std::vector<uint8_t> consumed;
};

struct TResult {
    std::vector<std::vector<uint8_t>> frames;
    std::vector<TDrop> drops;
};

void Check(bool condition) {
    if (!condition)
        std::abort();
}

// Cuts the stream at random places (and always at the disconnect positions) and delivers it;
// maxChunk 0 delivers it in one piece between disconnects.
TResult Deliver(const std::vector<uint8_t>& stream, const std::set<size_t>& disconnects, uint32_t seed,
                size_t maxChunk, bool withIdle) {
    std::minstd_rand random(seed);
    link_test::CTestFramePacket parser;
    CRecorder recorder;
    CPacketCommander commander;
    commander.SetParser(&parser);
    commander.SetListener(&recorder);
    CQueueingReporter& queueing = commander.Queueing();

    size_t pos = 0;
    while (pos < stream.size()) {
        size_t chunk = maxChunk == 0 ? stream.size() : 1 + random() % maxChunk;
        auto next = disconnects.upper_bound(pos);
        size_t end = std::min(pos + chunk, stream.size());
        if (next != disconnects.end() && *next < end)
            end = *next;
        Check(queueing.HandleReportEvent(CReportEvent::Data(nullptr, stream.data() + pos, end - pos)));
        pos = end;
        if (disconnects.count(pos) != 0) {
            Check(queueing.HandleReportEvent(CReportEvent::State(nullptr, CReportEvent::kDisconnect)));
            Check(queueing.QueuedBytes().empty());
        }
        if (withIdle && random() % 8 == 0) {
            Check(queueing.HandleReportEvent(CReportEvent::State(nullptr, CReportEvent::kIdle)));
        }
    }
    // Every byte exactly once: consumed in stream order, the rest still queued.
    std::vector<uint8_t> all = recorder.consumed;
    std::vector<uint8_t> queued = queueing.QueuedBytes();
    all.insert(all.end(), queued.begin(), queued.end());
    Check(all == stream);
    return {recorder.frames, recorder.drops};
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 4)
        return 0;
    uint32_t seed;
    std::memcpy(&seed, data, sizeof seed);
    std::vector<uint8_t> stream(data + 4, data + size);

    std::minstd_rand random(seed);
    std::set<size_t> disconnects;
    for (size_t i = 1; i <= stream.size(); ++i) {
        if (random() % 512 == 0)
            disconnects.insert(i);
    }
    TResult whole = Deliver(stream, disconnects, seed, 0, false);
    TResult fine = Deliver(stream, disconnects, seed ^ 0x5A5A5A5A, 3, false);
    TResult coarse = Deliver(stream, disconnects, seed ^ 0x12345678, 300, false);
    Check(fine.frames == whole.frames && fine.drops == whole.drops);
    Check(coarse.frames == whole.frames && coarse.drops == whole.drops);
    // Idle events break up stalled partial frames, so only the accounting is checked.
    Deliver(stream, disconnects, seed ^ 0x0F0F0F0F, 64, true);
    return 0;
}
