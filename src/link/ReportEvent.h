#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

namespace VEK {

class IReport;

// What a report hands to its listener: received bytes, or a state change of the channel.
class CReportEvent {
public:
    enum EKind : int {
        kNone = 0,
        kIdle = 1,   // no bytes for the idle interval
        kEnd = 2,    // the receive thread is ending
        kError = 3,  // with an error code
        kConnect = 4,
        kDisconnect = 5,
        kForcedEnd = 6,  // the thread ends without having been asked to
    };

    static CReportEvent Data(IReport* report, const uint8_t* data, size_t size) {
        CReportEvent event;
        event.report = report;
        event.data = data;
        event.size = size;
        return event;
    }
    static CReportEvent State(IReport* report, int kind, int errorCode = 0) {
        CReportEvent event;
        event.report = report;
        event.kind = kind;
        event.errorCode = errorCode;
        return event;
    }

    bool IsData() const { return data != nullptr; }
    // The kind's text as the traffic viewer shows it (UTF-8).
    std::string KindText() const;

    const uint8_t* data = nullptr;
    size_t size = 0;
    int kind = kNone;
    int errorCode = 0;
    IReport* report = nullptr;
};

}  // namespace VEK
