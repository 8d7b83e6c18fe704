#pragma once
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>

#include "counterpart/OppositeClock.h"
#include "counterpart/OppositeEngine.h"
#include "link/PacketCommander.h"
#include "link/SocketClient.h"
#include "protocol/BasicPacket.h"
#include "support/CopyImpossible.h"
#include "support/Thread.h"

// Connects the engine to the application's development port: a TCP client that reconnects by
// itself, the frame analysis of what arrives, and a thread that runs the periodic measurement
// cycle. Frames go out whole in one send per answer or cycle unless a link fault says otherwise.
// Link faults change what goes over the link, never the units' period: the pauses between the
// pieces of a split send are taken only while the period has room for them.
class COppositeSession : private VEK::CPacketCommander::IListener, private VEK::CCopyImpossible {
public:
    // Faults of the link, for testing the receiving side.
    struct TLinkFaults {
        size_t splitBytes = 0;          // cut every send into pieces of this many bytes
        uint32_t badChecksumEvery = 0;  // every n-th frame sent carries a wrong checksum
        bool duplicateReports = false;  // every unit report goes out twice
        uint64_t dropAfterCycles = 0;   // drop the connection once after this many cycles
    };

    struct TStatus {
        bool started = false;  // the client runs (connected or trying to)
        bool linked = false;
        bool periodic = false;
        uint32_t periodMs = 0;
        uint64_t cycles = 0;
        uint64_t framesIn = 0;
        uint64_t framesOut = 0;
        uint64_t droppedBytes = 0;

        // "connected  polling every 950 ms  cycles 12  frames in 5 out 40  dropped bytes 0"; a
        // client that is refused keeps saying "connecting".
        std::string Text() const;
    };

    // One line per frame in ("<-") and out ("->"), from the receive or the cycle thread.
    using TTrace = std::function<void(const std::string& line)>;

    static constexpr int kStopTimeoutMs = 3000;
    // A piece of a split send waits this long, so that the peer sees it on its own...
    static constexpr int kSplitPauseMs = 2;
    // ...while the pauses of a cycle end within this share of the period (in percent), and those
    // of any other send within this many milliseconds and before the next cycle is due.
    static constexpr int kCyclePausePercent = 50;
    static constexpr int kOtherPauseMs = 20;

    // The clock must outlive the session.
    explicit COppositeSession(uint32_t seed, IOppositeClock& clock = IOppositeClock::System());
    ~COppositeSession() override;

    // Server, faults and trace are set before Start.
    void SetServer(const std::string& host, uint16_t port);
    void SetLinkFaults(const TLinkFaults& faults);
    void SetTrace(TTrace trace) { m_trace = std::move(trace); }

    // Starts the client (it keeps trying to connect every 2 s) and the cycle thread.
    bool Start();
    void Stop();
    // Started and not stopped since: connected, or trying to connect.
    bool IsRunning() const { return m_commander.IsRunning(); }

    // The engine under the session's lock.
    template <typename F>
    auto WithEngine(F&& function) {
        std::lock_guard<std::mutex> lock(m_engineLock);
        return function(m_engine);
    }

    // 0 stops the periodic cycle.
    void StartPeriodic(uint32_t periodMs);
    void StopPeriodic() { StartPeriodic(0); }
    void SendMeasurementCycle();
    void SendInformationCycle();
    void SendStopNotice();

    TStatus Status() const;

private:
    void HandleUnclaimedFrame(VEK::IPacketCommandExecuter::IPacket& parser, int lastKeyResult) override;
    void HandleDroppedByte(uint8_t byte, int code) override;
    bool HandleLinkState(int kind) override;

    using TTime = IOppositeClock::TTime;

    void RunCycles(const std::atomic<bool>& stop);
    void SendMeasurementCycle(TTime pausesEnd);
    // When the pauses of a send that is not a cycle must end.
    TTime OtherPausesEnd() const;
    // Sends the frames as one piece of bytes (or split), applying the frame faults; pauses between
    // pieces only until pausesEnd.
    void SendFrames(const COppositeEngine::TFrames& frames, bool reports, TTime pausesEnd);
    void SendBytes(const std::vector<uint8_t>& bytes, TTime pausesEnd);
    void Trace(const char* direction, const std::vector<uint8_t>& frame);
    void DropConnection();

    IOppositeClock& m_clock;
    mutable std::mutex m_engineLock;
    COppositeEngine m_engine;

    QNL::CBasicPacket m_parser;
    VEK::CSocketClient m_client;
    VEK::CPacketCommander m_commander;
    TLinkFaults m_faults;
    TTrace m_trace;
    std::mutex m_traceLock;

    std::mutex m_sendLock;
    uint64_t m_framesSent = 0;  // guarded by m_sendLock

    mutable std::mutex m_tickLock;
    std::condition_variable m_tickWake;
    uint32_t m_periodMs = 0;  // 0: no periodic cycle
    TTime m_nextTick;
    bool m_dropped = false;

    std::atomic<uint64_t> m_cycles{0};
    std::atomic<uint64_t> m_framesIn{0};
    std::atomic<uint64_t> m_framesOut{0};
    std::atomic<uint64_t> m_droppedBytes{0};
    VEK::CThread m_cycleThread;
};
