#include "counterpart/OppositeSession.h"

#include <algorithm>
#include <cstdio>

namespace {

// How long the cycle thread sleeps at most before it looks at its stop request again.
constexpr auto kTickPoll = std::chrono::milliseconds(50);

}  // namespace

COppositeSession::COppositeSession(uint32_t seed, IOppositeClock& clock) : m_clock(clock), m_engine(seed) {
    m_commander.SetParser(&m_parser);
    m_commander.SetListener(this);
}

COppositeSession::~COppositeSession() {
    Stop();
}

void COppositeSession::SetServer(const std::string& host, uint16_t port) {
    m_client.SetServer(host, port);
}

void COppositeSession::SetLinkFaults(const TLinkFaults& faults) {
    m_faults = faults;
    // Split pieces must not be joined again on the way.
    m_client.SetDelay(faults.splitBytes == 0);
}

bool COppositeSession::Start() {
    if (!m_commander.Attach(&m_client))
        return false;
    if (!m_cycleThread.IsRunning())
        m_cycleThread.Start([this](const std::atomic<bool>& stop) { RunCycles(stop); });
    return true;
}

void COppositeSession::Stop() {
    StopPeriodic();
    m_cycleThread.Stop(std::chrono::milliseconds(kStopTimeoutMs));
    m_commander.Detach();
}

void COppositeSession::StartPeriodic(uint32_t periodMs) {
    {
        std::lock_guard<std::mutex> lock(m_tickLock);
        m_periodMs = periodMs;
        // Like a window timer: the first cycle one period from now.
        m_nextTick = m_clock.Now() + std::chrono::milliseconds(periodMs);
    }
    m_tickWake.notify_all();
}

void COppositeSession::RunCycles(const std::atomic<bool>& stop) {
    while (!stop) {
        TTime pausesEnd;
        {
            std::unique_lock<std::mutex> lock(m_tickLock);
            const TTime now = m_clock.Now();
            if (m_periodMs == 0 || now < m_nextTick) {
                const TTime until = m_periodMs == 0 ? now + kTickPoll : std::min(m_nextTick, now + kTickPoll);
                m_clock.WaitUntil(lock, m_tickWake, until);
                continue;
            }
            const auto period = std::chrono::milliseconds(m_periodMs);
            pausesEnd = m_nextTick + period * kCyclePausePercent / 100;
            m_nextTick += period;
            // A late cycle is not made up for with a burst; the units catch up themselves.
            if (m_nextTick <= now)
                m_nextTick = now + period;
        }
        SendMeasurementCycle(pausesEnd);
    }
}

void COppositeSession::SendMeasurementCycle() {
    SendMeasurementCycle(OtherPausesEnd());
}

void COppositeSession::SendMeasurementCycle(TTime pausesEnd) {
    if (!m_commander.IsRunning())
        return;
    COppositeEngine::TFrames frames =
        WithEngine([](COppositeEngine& engine) { return engine.MeasurementCycle(); });
    SendFrames(frames, true, pausesEnd);
    const uint64_t cycles = ++m_cycles;
    if (m_faults.dropAfterCycles != 0 && cycles == m_faults.dropAfterCycles)
        DropConnection();
}

void COppositeSession::SendInformationCycle() {
    SendFrames(WithEngine([](COppositeEngine& engine) { return engine.InformationCycle(); }), true,
               OtherPausesEnd());
}

void COppositeSession::SendStopNotice() {
    SendFrames({COppositeEngine::StopNoticeFrame()}, false, OtherPausesEnd());
}

COppositeSession::TTime COppositeSession::OtherPausesEnd() const {
    std::lock_guard<std::mutex> lock(m_tickLock);
    const TTime end = m_clock.Now() + std::chrono::milliseconds(kOtherPauseMs);
    return m_periodMs == 0 ? end : std::min(end, m_nextTick);
}

void COppositeSession::DropConnection() {
    {
        std::lock_guard<std::mutex> lock(m_tickLock);
        if (m_dropped)
            return;
        m_dropped = true;
    }
    // A dongle pulled out and plugged in again: it forgets its polling and numbering.
    StopPeriodic();
    WithEngine([](COppositeEngine& engine) { engine.ResetCounters(); });
    m_commander.Attach(&m_client);
}

void COppositeSession::HandleUnclaimedFrame(VEK::IPacketCommandExecuter::IPacket& /*parser*/,
                                            int /*lastKeyResult*/) {
    ++m_framesIn;
    Trace("<-", m_parser.BuildFrame());
    const std::vector<uint8_t>& data = m_parser.Data();
    COppositeEngine::TReaction reaction = WithEngine([&](COppositeEngine& engine) {
        return engine.HandleFrame(m_parser.Command(), data.data(), data.size());
    });
    if (reaction.periodic == COppositeEngine::EPeriodic::kStart)
        StartPeriodic(reaction.periodMs);
    else if (reaction.periodic == COppositeEngine::EPeriodic::kStop)
        StopPeriodic();
    if (!reaction.frames.empty())
        SendFrames(reaction.frames, false, OtherPausesEnd());
}

void COppositeSession::HandleDroppedByte(uint8_t /*byte*/, int /*code*/) {
    ++m_droppedBytes;
}

bool COppositeSession::HandleLinkState(int /*kind*/) {
    return true;
}

void COppositeSession::SendFrames(const COppositeEngine::TFrames& frames, bool reports, TTime pausesEnd) {
    if (frames.empty())
        return;
    std::lock_guard<std::mutex> lock(m_sendLock);
    std::vector<uint8_t> bytes;
    for (const COppositeEngine::TFrame& original : frames) {
        const int copies = reports && m_faults.duplicateReports ? 2 : 1;
        for (int copy = 0; copy < copies; ++copy) {
            COppositeEngine::TFrame frame = original;
            ++m_framesSent;
            if (m_faults.badChecksumEvery != 0 && m_framesSent % m_faults.badChecksumEvery == 0 &&
                frame.size() >= 2)
                ++frame[frame.size() - 2];
            Trace("->", frame);
            bytes.insert(bytes.end(), frame.begin(), frame.end());
            ++m_framesOut;
        }
    }
    SendBytes(bytes, pausesEnd);
}

void COppositeSession::SendBytes(const std::vector<uint8_t>& bytes, TTime pausesEnd) {
    const size_t piece = m_faults.splitBytes == 0 ? bytes.size() : m_faults.splitBytes;
    const auto pause = std::chrono::milliseconds(kSplitPauseMs);
    for (size_t offset = 0; offset < bytes.size(); offset += piece) {
        // Past the room the period leaves, the pieces follow each other at once: still one send
        // each, but the units keep their time.
        if (offset != 0 && m_clock.Now() + pause <= pausesEnd)
            m_clock.Pause(pause);
        // A send that fails while disconnected is lost, as on the radio.
        m_client.Send(std::min(piece, bytes.size() - offset), bytes.data() + offset);
    }
}

void COppositeSession::Trace(const char* direction, const std::vector<uint8_t>& frame) {
    if (!m_trace)
        return;
    std::string line = direction;
    char hex[4];
    for (uint8_t byte : frame) {
        std::snprintf(hex, sizeof hex, " %02X", byte);
        line += hex;
    }
    std::lock_guard<std::mutex> lock(m_traceLock);
    m_trace(line);
}

COppositeSession::TStatus COppositeSession::Status() const {
    TStatus status;
    status.started = IsRunning();
    status.linked = m_client.IsLinked();
    {
        std::lock_guard<std::mutex> lock(m_tickLock);
        status.periodic = m_periodMs != 0;
        status.periodMs = m_periodMs;
    }
    status.cycles = m_cycles;
    status.framesIn = m_framesIn;
    status.framesOut = m_framesOut;
    status.droppedBytes = m_droppedBytes;
    return status;
}

std::string COppositeSession::TStatus::Text() const {
    const char* link = linked ? "connected" : started ? "connecting" : "disconnected";
    char periodic[32] = "idle";
    if (this->periodic)
        std::snprintf(periodic, sizeof periodic, "every %u ms", periodMs);
    char text[192];
    std::snprintf(text, sizeof text,
                  "%s  polling %s  cycles %llu  frames in %llu out %llu  dropped bytes %llu", link, periodic,
                  static_cast<unsigned long long>(cycles), static_cast<unsigned long long>(framesIn),
                  static_cast<unsigned long long>(framesOut), static_cast<unsigned long long>(droppedBytes));
    return text;
}
