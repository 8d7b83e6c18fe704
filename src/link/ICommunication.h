#pragma once
#include <cstddef>
#include <cstdint>

#include "link/CommProperty.h"

namespace VEK {

// A byte channel to a device. Send may run on any thread while the receive thread receives;
// implementations guard their handles so that nothing is used after Close.
class ICommunication {
public:
    enum ELinkState { kOpenNotConnected = 0, kConnected = 1, kClosed = 2 };

    virtual ~ICommunication() = default;
    virtual TCommProperty QueryProperties() const = 0;
    // False for transports without a receive wait.
    virtual bool SetReceiveWait(uint32_t ms) = 0;
    virtual bool Open() = 0;
    virtual void Close() = 0;
    virtual bool IsOpen() const = 0;
    virtual bool IsLinked() const { return IsOpen(); }
    virtual bool IsSendReady() const { return IsOpen(); }
    virtual bool IsReceiveReady() const { return IsOpen(); }
    // Bytes sent, or -1.
    virtual int Send(size_t size, const uint8_t* bytes) = 0;
    // Bytes received, 0 for none, -1 on failure.
    virtual int Receive(size_t maxSize, uint8_t* buffer) = 0;
    // Bytes waiting, -1 when the transport cannot tell.
    virtual int PendingByteCount() const { return -1; }
    virtual int LinkState() const {
        return IsOpen() ? (IsLinked() ? kConnected : kOpenNotConnected) : kClosed;
    }
    virtual void DropPending() {}
};

}  // namespace VEK
