#pragma once
#include <cstdint>
#include <string>

#include "files/DeviceSettings.h"

// Where the counterpart finds the application's development port.
struct TOppositeServer {
    static constexpr uint16_t kDefaultPort = 50000;

    std::string host = "127.0.0.1";
    uint16_t port = kDefaultPort;

    // The port of "hid-pid" when "hid-vid" selects TCP, else 50000; "tcp-address" when it names
    // one address (the server listens there), else the loopback.
    static TOppositeServer For(const VEK::TDeviceSettings& device);
};
