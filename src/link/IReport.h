#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

#include "link/ReportEvent.h"

namespace VEK {

// A running channel: one thread receives and hands everything that happens on the channel to
// one listener. Send may be called from any thread.
class IReport {
public:
    class IListener {
    public:
        virtual ~IListener() = default;
        // Called on the report's thread; false ends the thread.
        virtual bool HandleReportEvent(const CReportEvent& event) = 0;
    };

    virtual ~IReport() = default;
    virtual std::string ReportName() const = 0;
    virtual uint32_t ReportId() const = 0;
    // One listener; null allowed.
    virtual void SetListener(IListener* listener) = 0;
    virtual int ReportOptions() const = 0;
    // Idle events after ms without data; 0 turns them off.
    virtual void SetIdleTime(int ms) = 0;
    virtual bool Start() = 0;
    virtual void Stop() = 0;
    virtual bool IsRunning() const = 0;
    virtual bool IsLinked() const = 0;
    // True when all bytes went.
    virtual bool Send(size_t size, const uint8_t* bytes) = 0;
    virtual void DropPending() = 0;
};

}  // namespace VEK
