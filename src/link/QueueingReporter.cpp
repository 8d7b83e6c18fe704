#include "link/QueueingReporter.h"

#include <algorithm>

namespace VEK {

void CQueueingReporter::Clear() {
    std::lock_guard<std::mutex> lock(m_queueLock);
    m_queue.Clear();
}

std::vector<uint8_t> CQueueingReporter::QueuedBytes() {
    std::lock_guard<std::mutex> lock(m_queueLock);
    return std::vector<uint8_t>(m_queue.Data(), m_queue.Data() + m_queue.Size());
}

bool CQueueingReporter::HandleReportEvent(const CReportEvent& event) {
    if (event.IsData()) {
        std::lock_guard<std::mutex> lock(m_queueLock);
        AppendAndAnalyze(event.data, event.size);
        return true;
    }
    if (event.kind == CReportEvent::kIdle) {
        std::lock_guard<std::mutex> lock(m_queueLock);
        if (!m_queue.Empty()) {
            uint8_t byte;
            m_queue.Take(1, &byte);
            m_listener.HandleGapByte(byte);
        }
        SetIdleTime(0);
        Analyze(false);
    } else if (event.kind == CReportEvent::kDisconnect) {
        std::lock_guard<std::mutex> lock(m_queueLock);
        Analyze(true);
        m_queue.Clear();
    }
    return m_listener.HandleReportEvent(event);
}

void CQueueingReporter::AppendAndAnalyze(const uint8_t* bytes, size_t size) {
    while (size > 0) {
        // An event larger than the free space goes in portions, each analysed before the next.
        size_t portion = std::min(size, m_queue.Free());
        if (portion == 0)
            return;  // the analysis keeps a full queue: the rest is lost
        m_queue.Append(bytes, portion);
        bytes += portion;
        size -= portion;
        Analyze(false);
    }
}

void CQueueingReporter::Analyze(bool flush) {
    while (!m_queue.Empty()) {
        size_t remove = m_listener.AnalyzeQueue(flush, m_queue);
        if (remove == 0)
            break;
        m_queue.Take(remove);
    }
    if (!m_queue.Empty())
        SetIdleTime(kGapTimeMs);
}

void CQueueingReporter::SetIdleTime(int ms) {
    if (m_report != nullptr)
        m_report->SetIdleTime(ms);
}

}  // namespace VEK
