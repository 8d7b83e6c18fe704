#include "link/AbstractReport.h"

namespace VEK {

void CAbstractReport::SetListener(IListener* listener) {
    std::lock_guard<std::recursive_mutex> lock(m_deliveryLock);
    m_listener = listener;
}

bool CAbstractReport::Deliver(const CReportEvent& event) {
    std::lock_guard<std::recursive_mutex> lock(m_deliveryLock);
    return m_listener == nullptr || m_listener->HandleReportEvent(event);
}

}  // namespace VEK
