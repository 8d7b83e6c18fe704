#include "link/CommunicationReporter.h"

#include <chrono>
#include <thread>

namespace VEK {
namespace {

using CClock = std::chrono::steady_clock;
constexpr auto kPollPause = std::chrono::milliseconds(1);
constexpr auto kStopTimeout = std::chrono::milliseconds(15000);

}  // namespace

bool CCommunicationReporter::Start() {
    Stop();
    if (!m_communication.Open())
        return false;
    int unit = m_communication.QueryProperties().receiveUnit;
    m_buffer.assign(unit > 0 ? static_cast<size_t>(unit) : kAnyUnitBufferSize, 0);
    m_started = true;
    return m_thread.Start([this](const std::atomic<bool>& stop) { Run(stop); });
}

void CCommunicationReporter::Stop() {
    if (!m_started.exchange(false))
        return;
    m_stopRequested = true;
    // The thread closes the transport on its way out; closing here as well covers a thread that
    // never ran. The transport guards its handles, so a Send racing with this is safe.
    m_thread.Stop(kStopTimeout);
    m_communication.Close();
    m_stopRequested = false;
}

bool CCommunicationReporter::Send(size_t size, const uint8_t* bytes) {
    if (!m_communication.IsOpen())
        return false;
    return m_communication.Send(size, bytes) == static_cast<int>(size);
}

void CCommunicationReporter::DropPending() {
    std::lock_guard<std::mutex> lock(m_pollLock);
    m_communication.DropPending();
}

CCommunicationReporter::EStep CCommunicationReporter::Poll(bool& connected) {
    std::unique_lock<std::mutex> lock(m_pollLock);
    int state = m_communication.LinkState();
    if (state == ICommunication::kClosed)
        return EStep::kEnd;
    if (state == ICommunication::kConnected && !connected) {
        if (!DeliverState(CReportEvent::kConnect))
            return EStep::kEnd;
        connected = true;
    }
    if (state == ICommunication::kOpenNotConnected && connected) {
        lock.unlock();
        connected = false;
        return DeliverState(CReportEvent::kDisconnect) ? EStep::kContinue : EStep::kEnd;
    }
    if (m_communication.IsReceiveReady() && !m_buffer.empty()) {
        int n = m_communication.Receive(m_buffer.size(), m_buffer.data());
        if (n > 0) {
            lock.unlock();
            bool go = Deliver(CReportEvent::Data(this, m_buffer.data(), static_cast<size_t>(n)));
            return go ? EStep::kSkipPause : EStep::kEnd;
        }
    }
    return EStep::kContinue;
}

void CCommunicationReporter::Run(const std::atomic<bool>& stop) {
    auto last = CClock::now();
    bool skipPause = true;
    bool connected = false;
    while (!stop && !m_stopRequested) {
        if (!skipPause)
            std::this_thread::sleep_for(kPollPause);
        skipPause = false;
        EStep step = Poll(connected);
        if (step == EStep::kEnd)
            break;
        if (step == EStep::kSkipPause) {
            skipPause = true;
            last = CClock::now();
            continue;
        }
        int idleMs = IdleTime();
        if (idleMs > 0 && CClock::now() - last >= std::chrono::milliseconds(idleMs)) {
            last = CClock::now();
            if (!DeliverState(CReportEvent::kIdle))
                break;
        }
    }
    if (connected)
        DeliverState(CReportEvent::kDisconnect);
    m_communication.Close();
    if (!stop && !m_stopRequested)
        DeliverState(CReportEvent::kForcedEnd);
    DeliverState(CReportEvent::kEnd);
}

}  // namespace VEK
