#include "link/UsbHidFinder.h"

#include <algorithm>

namespace VEK {

std::vector<CUsbHidPathName> CUsbHidFinder::EnumerateDevices(uint16_t vendorId, uint16_t productId) {
    std::vector<CUsbHidPathName> found;
    if (vendorId == 0 || productId == 0)
        return found;
    for (const auto& info : m_backend.Enumerate()) {
        if (info.vendorId != vendorId || info.productId != productId)
            continue;
        bool seen =
            std::any_of(found.begin(), found.end(), [&](const auto& d) { return d.path == info.path; });
        if (!seen)
            found.push_back(MakeRecord(info));
    }
    return found;
}

std::optional<CUsbHidPathName> CUsbHidFinder::DescribeDevice(const std::string& path) {
    for (const auto& info : m_backend.Enumerate()) {
        if (info.path == path)
            return MakeRecord(info);
    }
    return std::nullopt;
}

CUsbHidPathName CUsbHidFinder::MakeRecord(const IHidBackend::TDeviceInfo& info) {
    CUsbHidPathName record;
    record.vendorId = info.vendorId;
    record.productId = info.productId;
    record.path = info.path;
    auto descriptor = m_backend.ReportDescriptor(info.path);
    record.caps = descriptor ? ParseHidReportDescriptor(descriptor->data(), descriptor->size())
                             : ParseHidReportDescriptor(nullptr, 0);
    return record;
}

}  // namespace VEK
