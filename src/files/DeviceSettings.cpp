#include "files/DeviceSettings.h"

#include "support/NumberText.h"

namespace VEK {

uint16_t TDeviceSettings::VendorId() const {
    return static_cast<uint16_t>(ParseCInteger(vendorText));
}

uint16_t TDeviceSettings::ProductId() const {
    return static_cast<uint16_t>(ParseCInteger(productText));
}

int TDeviceSettings::TcpPort() const {
    int64_t port = ParseCInteger(productText);
    return port >= 0 && port <= 65535 ? static_cast<int>(port) : 0;
}

TDeviceSettings TDeviceSettings::Read(const AccessorSection& parameter) {
    TDeviceSettings settings;
    settings.recordLimit = parameter.GetInteger("rec-max", settings.recordLimit);
    settings.vendorText = parameter.GetString("hid-vid", settings.vendorText);
    settings.productText = parameter.GetString("hid-pid", settings.productText);
    settings.tcpAddress = parameter.GetString("tcp-address", settings.tcpAddress);
    return settings;
}

}  // namespace VEK
