#pragma once
#include <cstdint>
#include <string>

#include "files/AccessorSection.h"

namespace VEK {

// How the application reaches the dongle, from define.ini section "parameter".
struct TDeviceSettings {
    // The dongle's vendor id is not published: the default never matches a device, and the
    // installer or the user sets the real one.
    static constexpr const char* kDefaultVendorId = "0x0000";
    static constexpr const char* kDefaultProductId = "0x0006";
    static constexpr uint16_t kSecondProductId = 0x0004;
    static constexpr int32_t kDefaultRecordLimit = 0x7FFFFFFF;

    int32_t recordLimit = kDefaultRecordLimit;  // "rec-max": 1 to 2^31 − 1, else this default
    std::string vendorText = kDefaultVendorId;
    std::string productText = kDefaultProductId;
    // The development TCP server listens here; only the local machine unless widened on purpose.
    std::string tcpAddress = "127.0.0.1";

    // "hid-vid" containing "tcp" selects the development TCP port (port number in "hid-pid").
    bool UsesTcp() const { return vendorText.find("tcp") != std::string::npos; }
    // C integer syntax: "0x" hexadecimal, leading "0" octal, else decimal.
    uint16_t VendorId() const;
    uint16_t ProductId() const;
    int TcpPort() const;

    static TDeviceSettings Read(const AccessorSection& parameter);
};

}  // namespace VEK
