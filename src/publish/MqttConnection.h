#pragma once
#include <cstdint>
#include <string>

#include "publish/MqttEndpoint.h"
#include "publish/MqttSettings.h"

// Everything a connection to the broker needs, checked and with the password read.
struct TMqttConnection {
    // The system's trusted certificates, for mqtts:// without "mqtt-ca-file".
    static constexpr const char* kSystemCaFolder = "/etc/ssl/certs";

    TMqttEndpoint endpoint;
    std::string prefix;
    std::string user;
    std::string password;
    std::string caFile;  // empty: the system's folder

    // Checks the settings (URL, prefix, user with password file, a CA file that is a regular file)
    // and reads the password. Paths may be relative to the documents folder. False with a message
    // for the operator.
    static bool Resolve(const TMqttSettings& settings, TMqttConnection& connection, std::string& error);
    // The first line of a password file of this user that only the user may read and write; false
    // with the message for a missing or empty file, one that is not a regular file (never waiting
    // on a FIFO), another user's file, or one that group or others may read or write.
    static bool ReadPasswordFile(const std::string& path, std::string& password, std::string& error);
    // "<program>@<host>/<system number>": two programs or two PCs never take each other's session.
    static std::string ClientId(const std::string& program, uint32_t systemNumber);
};
