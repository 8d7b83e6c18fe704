#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace VEK {

// One open HID device node. Each handle is used by one thread at a time.
class IHidHandle {
public:
    static constexpr int kDeviceGone = -2;

    virtual ~IHidHandle() = default;
    // Writes one output report, report id byte first: bytes written, -1 failure, kDeviceGone.
    virtual int Write(const uint8_t* bytes, size_t size) = 0;
    // Reads one input report (numbered reports with their id byte first, unnumbered ones without):
    // bytes read, 0 when none came within timeoutMs, -1 when the device failed or vanished.
    virtual int Read(uint8_t* buffer, size_t size, int timeoutMs) = 0;
};

// The seam between the HID transport and the platform's HID access, so tests can play a device.
class IHidBackend {
public:
    struct TDeviceInfo {
        std::string path;
        uint16_t vendorId = 0;
        uint16_t productId = 0;
    };

    virtual ~IHidBackend() = default;
    // Every present HID device interface, in enumeration order (a path may appear more than once).
    virtual std::vector<TDeviceInfo> Enumerate() = 0;
    // The device's report descriptor, if it can be read.
    virtual std::optional<std::vector<uint8_t>> ReportDescriptor(const std::string& path) = 0;
    // Opens the device for reading and writing; null on failure.
    virtual std::unique_ptr<IHidHandle> Open(const std::string& path) = 0;
};

// The hidapi (hidraw) backend, shared by the whole process.
IHidBackend& HidapiBackend();

}  // namespace VEK
