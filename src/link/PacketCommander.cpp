#include "link/PacketCommander.h"

namespace VEK {

bool CPacketCommander::Attach(IReport* report) {
    DetachReport();
    if (report == nullptr || !m_inner.HasParser())
        return false;
    m_queueing.Clear();
    m_queueing.SetReport(report);
    report->SetListener(&m_queueing);
    m_report = report;
    return report->Start();
}

void CPacketCommander::Detach() {
    DetachReport();
}

void CPacketCommander::DetachReport() {
    IReport* report = m_report.exchange(nullptr);
    if (report == nullptr)
        return;
    report->Stop();
    report->SetListener(nullptr);
    m_queueing.SetReport(nullptr);
}

bool CPacketCommander::IsRunning() const {
    IReport* report = CurrentReport();
    return report != nullptr && report->IsRunning();
}

int CPacketCommander::SendFrame(IReport& report, const std::vector<uint8_t>& frame) {
    std::lock_guard<std::mutex> lock(m_sendLock);
    return report.Send(frame.size(), frame.data()) ? 0 : kRefused;
}

int CPacketCommander::Send(const IPacket& packet) {
    IReport* report = CurrentReport();
    if (report == nullptr || !report->IsRunning())
        return kNotAttached;
    return SendFrame(*report, packet.BuildFrame());
}

int CPacketCommander::Exchange(IPacket& response, const IPacket& command, int timeoutMs) {
    IReport* report = CurrentReport();
    if (report == nullptr || !report->IsRunning())
        return kNotAttached;
    std::vector<uint8_t> frame = command.BuildFrame();
    // Registered before sending, so that an immediate response finds its waiter.
    auto task = m_inner.AddTask(response);
    if (!frame.empty() && SendFrame(*report, frame) != 0) {
        m_inner.RemoveTask(task);
        return kRefused;
    }
    return m_inner.AwaitTask(task, timeoutMs);
}

std::list<CPacketCommander::CInner::TTask>::iterator CPacketCommander::CInner::AddTask(IPacket& key) {
    std::lock_guard<std::mutex> lock(m_taskLock);
    TTask task;
    task.thread = std::this_thread::get_id();
    task.key = &key;
    return m_tasks.insert(m_tasks.end(), task);
}

int CPacketCommander::CInner::AwaitTask(std::list<TTask>::iterator task, int timeoutMs) {
    std::unique_lock<std::mutex> lock(m_taskLock);
    m_taskDone.wait_for(lock, std::chrono::milliseconds(timeoutMs > 0 ? timeoutMs : 0),
                        [&] { return task->done; });
    // Decided under the lock: a response that came with the time-out still counts.
    int result = task->done ? task->result : kTimeout;
    m_tasks.erase(task);
    return result;
}

void CPacketCommander::CInner::RemoveTask(std::list<TTask>::iterator task) {
    std::lock_guard<std::mutex> lock(m_taskLock);
    m_tasks.erase(task);
}

bool CPacketCommander::CInner::HandleReportEvent(const CReportEvent& event) {
    if (event.kind == CReportEvent::kEnd) {
        std::lock_guard<std::mutex> lock(m_taskLock);
        for (TTask& task : m_tasks) {
            if (task.done)
                continue;
            task.result = kEnded;
            task.done = true;
        }
        m_taskDone.notify_all();
    }
    return m_listener == nullptr || m_listener->HandleLinkState(event.kind);
}

bool CPacketCommander::CInner::ClaimFrame(const CQueueingReporter::TQueue& queue, int& lastKeyResult) {
    std::lock_guard<std::mutex> lock(m_taskLock);
    for (TTask& task : m_tasks) {
        if (task.done)
            continue;
        lastKeyResult = task.key->ParseFrame(queue.Data(), queue.Size());
        if (lastKeyResult <= 0)
            continue;
        if (m_listener != nullptr)
            m_listener->HandleClaimedFrame(*m_parser);
        task.result = lastKeyResult;
        task.done = true;
        m_taskDone.notify_all();
        return true;
    }
    return false;
}

size_t CPacketCommander::CInner::AnalyzeQueue(bool flush, const CQueueingReporter::TQueue& queue) {
    int r = m_parser->ParseFrame(queue.Data(), queue.Size());
    if (r > 0) {
        int lastKeyResult = 0;
        if (!ClaimFrame(queue, lastKeyResult) && m_listener != nullptr) {
            m_listener->HandleUnclaimedFrame(*m_parser, lastKeyResult);
        }
        return static_cast<size_t>(r);
    }
    if (r == 0) {
        if (!flush)
            return 0;
        for (size_t i = 0; i < queue.Size(); ++i) DropByte(queue[i], -1);
        return queue.Size();
    }
    DropByte(queue[0], r);
    return 1;
}

void CPacketCommander::CInner::HandleGapByte(uint8_t byte) {
    DropByte(byte, -1);
}

void CPacketCommander::CInner::DropByte(uint8_t byte, int code) {
    if (m_listener != nullptr)
        m_listener->HandleDroppedByte(byte, code);
}

}  // namespace VEK
