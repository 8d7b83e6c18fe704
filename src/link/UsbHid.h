#pragma once
#include <atomic>
#include <memory>
#include <mutex>
#include <vector>

#include "link/HidBackend.h"
#include "link/ICommunication.h"
#include "link/UsbHidPathName.h"
#include "support/CopyImpossible.h"

namespace VEK {

// The dongle's USB HID channel. Frames travel in output reports (report id byte first, zero fill)
// and arrive in input reports, whose whole payload is delivered. Senders use the write handle and
// the receive thread the read handle, each under its own lock, so that no handle is used by two
// threads at once or after Close.
class CUsbHid : public ICommunication, private CCopyImpossible {
public:
    static constexpr uint32_t kDefaultReceiveWaitMs = 100;
    static constexpr int kWriteAttempts = 10;

    explicit CUsbHid(IHidBackend& backend = HidapiBackend());
    ~CUsbHid() override { Close(); }

    // Fills the device record from a path; false when no present device has it. Close first.
    bool SelectDevice(const std::string& path);
    void SetDevice(const CUsbHidPathName& device);
    CUsbHidPathName Device() const;

    TCommProperty QueryProperties() const override;
    bool SetReceiveWait(uint32_t ms) override;
    // Fails unless the device opens for both directions.
    bool Open() override;
    void Close() override;
    bool IsOpen() const override { return m_writeOpen; }
    bool IsLinked() const override { return IsOpen() && !m_vanished; }
    bool IsSendReady() const override;
    bool IsReceiveReady() const override;
    int Send(size_t size, const uint8_t* bytes) override;
    int Receive(size_t maxSize, uint8_t* buffer) override;
    int LinkState() const override { return IsLinked() ? kConnected : kClosed; }
    void DropPending() override;

private:
    bool WriteReport(const std::vector<uint8_t>& report);

    IHidBackend& m_backend;
    const uint32_t m_instance;
    mutable std::mutex m_propertyLock;
    CUsbHidPathName m_device;
    TCommProperty m_property;

    std::mutex m_writeLock;
    std::unique_ptr<IHidHandle> m_writeHandle;
    std::mutex m_readLock;
    std::unique_ptr<IHidHandle> m_readHandle;
    std::vector<uint8_t> m_readBuffer;

    std::atomic<bool> m_writeOpen{false};
    std::atomic<bool> m_readOpen{false};
    std::atomic<bool> m_vanished{false};
    std::atomic<uint32_t> m_receiveWaitMs{kDefaultReceiveWaitMs};
};

}  // namespace VEK
