#pragma once
#include <string>

#include "files/AccessorSection.h"

// The publisher's settings from define.ini section "parameter", as written there; TMqttConnection
// checks them.
struct TMqttSettings {
    static constexpr const char* kDefaultPrefix = "hollowmere";

    std::string url;                      // "mqtt-url"; blank: nothing is published
    std::string prefix = kDefaultPrefix;  // "mqtt-prefix"; blank gives the default
    std::string user;                     // "mqtt-user"
    std::string passwordFile;             // "mqtt-password-file": the password on its first line
    std::string caFile;                   // "mqtt-ca-file": trusted certificates for mqtts://

    bool Enabled() const;
    static TMqttSettings Read(const VEK::AccessorSection& parameter);
};
