#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "link/HidBackend.h"
#include "link/UsbHidPathName.h"

namespace VEK {

// Searches the present HID devices.
class CUsbHidFinder {
public:
    explicit CUsbHidFinder(IHidBackend& backend = HidapiBackend()) : m_backend(backend) {}

    // Every device whose vendor and product id both equal the wanted ones, in enumeration order,
    // each path once. An id of 0 never matches (the platform reads 0 as "any").
    std::vector<CUsbHidPathName> EnumerateDevices(uint16_t vendorId, uint16_t productId);
    // The record of one device path; nullopt when no present device has it.
    std::optional<CUsbHidPathName> DescribeDevice(const std::string& path);

private:
    CUsbHidPathName MakeRecord(const IHidBackend::TDeviceInfo& info);

    IHidBackend& m_backend;
};

}  // namespace VEK
