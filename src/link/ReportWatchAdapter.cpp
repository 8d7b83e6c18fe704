#include "link/ReportWatchAdapter.h"

namespace VEK {

bool CReportWatchAdapter::SetTarget(IReport* target) {
    if (IsRunning())
        return false;
    if (IReport* old = m_target.exchange(target); old != nullptr && old != target)
        old->SetListener(nullptr);
    return true;
}

std::string CReportWatchAdapter::ReportName() const {
    IReport* target = m_target;
    return target != nullptr ? target->ReportName() : std::string();
}

uint32_t CReportWatchAdapter::ReportId() const {
    IReport* target = m_target;
    return target != nullptr ? target->ReportId() : 0;
}

void CReportWatchAdapter::SetIdleTime(int ms) {
    CAbstractReport::SetIdleTime(ms);
    if (IReport* target = m_target)
        target->SetIdleTime(ms);
}

bool CReportWatchAdapter::Start() {
    IReport* target = m_target;
    if (target == nullptr)
        return false;
    target->SetListener(&m_inner);
    target->SetIdleTime(IdleTime());
    return target->Start();
}

void CReportWatchAdapter::Stop() {
    if (IReport* target = m_target)
        target->Stop();
}

bool CReportWatchAdapter::IsRunning() const {
    IReport* target = m_target;
    return target != nullptr && target->IsRunning();
}

bool CReportWatchAdapter::IsLinked() const {
    IReport* target = m_target;
    return target != nullptr && target->IsLinked();
}

bool CReportWatchAdapter::Send(size_t size, const uint8_t* bytes) {
    IReport* target = m_target;
    return target != nullptr && target->Send(size, bytes);
}

void CReportWatchAdapter::DropPending() {
    if (IReport* target = m_target)
        target->DropPending();
}

}  // namespace VEK
