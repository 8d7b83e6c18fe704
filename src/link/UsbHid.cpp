#include "link/UsbHid.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "link/UsbHidFinder.h"

namespace VEK {
namespace {

// Bounds DropPending when a device keeps sending.
constexpr int kMaxDroppedReports = 1024;

uint32_t NextInstance() {
    static std::atomic<uint32_t> counter{0};
    return ++counter;
}

}  // namespace

CUsbHid::CUsbHid(IHidBackend& backend) : m_backend(backend), m_instance(NextInstance()) {
    m_property.name = "HID";
    m_property.typeId = MakeCommTypeId(kCommKindUsbHid, m_instance);
    m_property.receiveWaitMs = kDefaultReceiveWaitMs;
}

bool CUsbHid::SelectDevice(const std::string& path) {
    auto device = CUsbHidFinder(m_backend).DescribeDevice(path);
    if (!device)
        return false;
    SetDevice(*device);
    return true;
}

void CUsbHid::SetDevice(const CUsbHidPathName& device) {
    std::lock_guard<std::mutex> lock(m_propertyLock);
    m_device = device;
}

CUsbHidPathName CUsbHid::Device() const {
    std::lock_guard<std::mutex> lock(m_propertyLock);
    return m_device;
}

TCommProperty CUsbHid::QueryProperties() const {
    std::lock_guard<std::mutex> lock(m_propertyLock);
    TCommProperty property = m_property;
    property.receiveWaitMs = m_receiveWaitMs;
    return property;
}

bool CUsbHid::SetReceiveWait(uint32_t ms) {
    m_receiveWaitMs = ms;
    return true;
}

bool CUsbHid::Open() {
    Close();
    CUsbHidPathName device = Device();
    auto writeHandle = m_backend.Open(device.path);
    if (!writeHandle)
        return false;
    // A second handle for the receive thread: without it every command would time out while
    // the channel looks connected.
    auto readHandle = m_backend.Open(device.path);
    if (!readHandle)
        return false;

    char name[32];
    std::snprintf(name, sizeof name, "HID-V%04X-P%04X", device.vendorId, device.productId);
    {
        std::lock_guard<std::mutex> lock(m_propertyLock);
        m_property.name = name;
        m_property.sendUnit = device.caps.outputReportLength - 1;
        m_property.receiveUnit = device.caps.inputReportLength - 1;
    }
    std::scoped_lock lock(m_writeLock, m_readLock);
    m_writeHandle = std::move(writeHandle);
    m_readHandle = std::move(readHandle);
    m_readBuffer.assign(device.caps.inputReportLength, 0);
    m_vanished = false;
    m_readOpen = true;
    m_writeOpen = true;
    return true;
}

void CUsbHid::Close() {
    m_writeOpen = false;
    m_readOpen = false;
    // Waits for a Send or Receive in progress (a read waits at most the receive wait).
    std::scoped_lock lock(m_writeLock, m_readLock);
    m_writeHandle.reset();
    m_readHandle.reset();
    m_readBuffer.clear();
}

bool CUsbHid::IsSendReady() const {
    std::lock_guard<std::mutex> lock(m_propertyLock);
    return m_writeOpen && m_device.caps.outputReportLength != 0;
}

bool CUsbHid::IsReceiveReady() const {
    std::lock_guard<std::mutex> lock(m_propertyLock);
    return m_readOpen && m_device.caps.inputReportLength != 0;
}

int CUsbHid::Send(size_t size, const uint8_t* bytes) {
    THidReportLayout caps = Device().caps;
    size_t length = caps.outputReportLength;
    std::lock_guard<std::mutex> lock(m_writeLock);
    if (!m_writeHandle || length < 2)
        return -1;
    std::vector<uint8_t> report(length, 0);
    size_t sent = 0;
    while (sent < size) {
        size_t take = std::min(size - sent, length - 1);
        std::fill(report.begin(), report.end(), 0);
        report[0] = caps.outputReportId;
        std::memcpy(report.data() + 1, bytes + sent, take);
        if (!WriteReport(report))
            return -1;
        sent += take;
    }
    return static_cast<int>(size);
}

bool CUsbHid::WriteReport(const std::vector<uint8_t>& report) {
    for (int attempt = 0; attempt < kWriteAttempts; ++attempt) {
        int n = m_writeHandle->Write(report.data(), report.size());
        if (n == static_cast<int>(report.size()))
            return true;
        if (n == IHidHandle::kDeviceGone) {
            // The receive thread sees the channel closed and ends; it releases the handles.
            m_vanished = true;
            return false;
        }
    }
    return false;
}

int CUsbHid::Receive(size_t maxSize, uint8_t* buffer) {
    bool numbered = Device().caps.numberedReports;
    std::lock_guard<std::mutex> lock(m_readLock);
    if (!m_readHandle || m_readBuffer.empty())
        return -1;
    // hidraw hands over unnumbered reports without an id byte; numbered ones start with it.
    size_t readSize = numbered ? m_readBuffer.size() : m_readBuffer.size() - 1;
    int n = m_readHandle->Read(m_readBuffer.data(), readSize, static_cast<int>(m_receiveWaitMs.load()));
    if (n < 0) {
        m_vanished = true;  // hidraw fails reads only when the device is gone
        return -1;
    }
    size_t skip = numbered ? 1 : 0;
    if (static_cast<size_t>(n) <= skip)
        return 0;
    size_t count = std::min(static_cast<size_t>(n) - skip, maxSize);
    std::memcpy(buffer, m_readBuffer.data() + skip, count);
    return static_cast<int>(count);
}

void CUsbHid::DropPending() {
    std::lock_guard<std::mutex> lock(m_readLock);
    if (!m_readHandle)
        return;
    for (int i = 0; i < kMaxDroppedReports; ++i) {
        if (m_readHandle->Read(m_readBuffer.data(), m_readBuffer.size(), 0) <= 0)
            break;
    }
}

}  // namespace VEK
