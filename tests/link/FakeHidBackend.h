#pragma once
// A HID backend played by the test: devices with a report descriptor, queued input reports,
// a log of written reports, write failures on demand and unplugging.
#include <condition_variable>
#include <deque>
#include <map>
#include <memory>
#include <mutex>

#include "link/HidBackend.h"

namespace link_test {

class CFakeHidDevice {
public:
    CFakeHidDevice(std::string path, uint16_t vendorId, uint16_t productId, std::vector<uint8_t> descriptor)
        : path(std::move(path)),
          vendorId(vendorId),
          productId(productId),
          descriptor(std::move(descriptor)) {}

    void PushInputReport(std::vector<uint8_t> report) {
        std::lock_guard<std::mutex> lock(m_lock);
        m_input.push_back(std::move(report));
        m_changed.notify_all();
    }
    void Unplug() {
        std::lock_guard<std::mutex> lock(m_lock);
        m_gone = true;
        m_changed.notify_all();
    }
    void FailNextWrites(int count) {
        std::lock_guard<std::mutex> lock(m_lock);
        m_failWrites = count;
    }
    std::vector<std::vector<uint8_t>> Written() {
        std::lock_guard<std::mutex> lock(m_lock);
        return m_written;
    }
    int WriteAttempts() {
        std::lock_guard<std::mutex> lock(m_lock);
        return m_writeAttempts;
    }

    int Write(const uint8_t* bytes, size_t size) {
        std::lock_guard<std::mutex> lock(m_lock);
        ++m_writeAttempts;
        if (m_gone)
            return VEK::IHidHandle::kDeviceGone;
        if (m_failWrites > 0) {
            --m_failWrites;
            return -1;
        }
        m_written.emplace_back(bytes, bytes + size);
        return static_cast<int>(size);
    }
    int Read(uint8_t* buffer, size_t size, int timeoutMs) {
        std::unique_lock<std::mutex> lock(m_lock);
        m_changed.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                           [&] { return m_gone || !m_input.empty(); });
        if (m_gone)
            return -1;
        if (m_input.empty())
            return 0;
        std::vector<uint8_t> report = std::move(m_input.front());
        m_input.pop_front();
        size_t n = std::min(size, report.size());
        std::copy(report.begin(), report.begin() + static_cast<long>(n), buffer);
        return static_cast<int>(n);
    }

    const std::string path;
    const uint16_t vendorId;
    const uint16_t productId;
    const std::vector<uint8_t> descriptor;

private:
    std::mutex m_lock;
    std::condition_variable m_changed;
    std::deque<std::vector<uint8_t>> m_input;
    std::vector<std::vector<uint8_t>> m_written;
    int m_failWrites = 0;
    int m_writeAttempts = 0;
    bool m_gone = false;
};

class CFakeHidBackend : public VEK::IHidBackend {
public:
    std::shared_ptr<CFakeHidDevice> AddDevice(const std::string& path, uint16_t vendorId, uint16_t productId,
                                              std::vector<uint8_t> descriptor) {
        auto device = std::make_shared<CFakeHidDevice>(path, vendorId, productId, std::move(descriptor));
        m_devices.push_back(device);
        return device;
    }
    // The next count opens of any device fail after the first `after` succeed.
    void FailOpens(int after, int count) {
        m_opensBeforeFailure = after;
        m_failOpens = count;
    }

    std::vector<TDeviceInfo> Enumerate() override {
        std::vector<TDeviceInfo> list;
        for (const auto& device : m_devices)
            list.push_back({device->path, device->vendorId, device->productId});
        return list;
    }
    std::optional<std::vector<uint8_t>> ReportDescriptor(const std::string& path) override {
        for (const auto& device : m_devices) {
            if (device->path == path && !device->descriptor.empty())
                return device->descriptor;
        }
        return std::nullopt;
    }
    std::unique_ptr<VEK::IHidHandle> Open(const std::string& path) override;

private:
    std::vector<std::shared_ptr<CFakeHidDevice>> m_devices;
    int m_opensBeforeFailure = 0;
    int m_failOpens = 0;
};

class CFakeHidHandle : public VEK::IHidHandle {
public:
    explicit CFakeHidHandle(std::shared_ptr<CFakeHidDevice> device) : m_device(std::move(device)) {}
    int Write(const uint8_t* bytes, size_t size) override { return m_device->Write(bytes, size); }
    int Read(uint8_t* buffer, size_t size, int timeoutMs) override {
        return m_device->Read(buffer, size, timeoutMs);
    }

private:
    std::shared_ptr<CFakeHidDevice> m_device;
};

inline std::unique_ptr<VEK::IHidHandle> CFakeHidBackend::Open(const std::string& path) {
    if (m_opensBeforeFailure > 0) {
        --m_opensBeforeFailure;
    } else if (m_failOpens > 0) {
        --m_failOpens;
        return nullptr;
    }
    for (const auto& device : m_devices) {
        if (device->path == path)
            return std::make_unique<CFakeHidHandle>(device);
    }
    return nullptr;
}

// Report descriptors: a vendor page collection with one input and one output report of the given
// payload sizes, unnumbered or with report id 1.
inline std::vector<uint8_t> VendorDescriptor(uint8_t inputBytes, uint8_t outputBytes, bool numbered) {
    std::vector<uint8_t> d{0x06, 0x00, 0xFF, 0x09, 0x01, 0xA1, 0x01};
    if (numbered)
        d.insert(d.end(), {0x85, 0x01});
    d.insert(d.end(), {0x15, 0x00, 0x26, 0xFF, 0x00,        0x75, 0x08, 0x95, inputBytes, 0x09,
                       0x01, 0x81, 0x02, 0x95, outputBytes, 0x09, 0x01, 0x91, 0x02,       0xC0});
    return d;
}

}  // namespace link_test
