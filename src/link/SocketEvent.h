#pragma once
#include "link/ReportEvent.h"

namespace VEK {

// The report event of the TCP reports: it also names the socket it concerns.
class CSocketEvent : public CReportEvent {
public:
    CSocketEvent(const CReportEvent& event, int socketFd) : CReportEvent(event), socket(socketFd) {}
    int socket = -1;
};

}  // namespace VEK
