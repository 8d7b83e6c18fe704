#include "publish/MqttEndpoint.h"

#include <cctype>

#include "support/NumberText.h"

namespace {

bool StartsWithNoCase(const std::string& text, const char* prefix, size_t& length) {
    length = 0;
    while (prefix[length] != '\0') {
        if (length >= text.size() || std::tolower(static_cast<unsigned char>(text[length])) != prefix[length])
            return false;
        ++length;
    }
    return true;
}

bool IsHostCharacter(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) || c == '-' || c == '.' || c == '_';
}

}  // namespace

bool TMqttEndpoint::Parse(const std::string& url, TMqttEndpoint& endpoint, std::string& error) {
    const std::string quoted = "\"" + url + "\"";
    TMqttEndpoint parsed;
    size_t schemeLength = 0;
    if (StartsWithNoCase(url, "mqtts://", schemeLength)) {
        parsed.tls = true;
        parsed.port = kTlsPort;
    } else if (StartsWithNoCase(url, "mqtt://", schemeLength)) {
        parsed.port = kPlainPort;
    } else {
        error = "MQTT URL " + quoted + " must begin with mqtt:// or mqtts://";
        return false;
    }
    std::string rest = url.substr(schemeLength);
    if (!rest.empty() && rest.back() == '/')
        rest.pop_back();
    if (rest.find('@') != std::string::npos) {
        error = "MQTT URL " + quoted +
                " holds user information; give the user in mqtt-user and the "
                "password in mqtt-password-file";
        return false;
    }
    if (rest.find_first_of("/?#") != std::string::npos) {
        error = "MQTT URL " + quoted + " has a path; give only host and port";
        return false;
    }
    size_t portStart = std::string::npos;
    if (!rest.empty() && rest.front() == '[') {
        const size_t close = rest.find(']');
        if (close == std::string::npos || close == 1) {
            error = "MQTT URL " + quoted + " has a bad IPv6 address";
            return false;
        }
        parsed.host = rest.substr(1, close - 1);
        if (close + 1 < rest.size()) {
            if (rest[close + 1] != ':') {
                error = "MQTT URL " + quoted + " has a bad IPv6 address";
                return false;
            }
            portStart = close + 2;
        }
    } else {
        const size_t colon = rest.find(':');
        parsed.host = rest.substr(0, colon);
        if (colon != std::string::npos)
            portStart = colon + 1;
        for (char c : parsed.host) {
            if (!IsHostCharacter(c)) {
                error = "MQTT URL " + quoted + " has a bad host name";
                return false;
            }
        }
    }
    if (parsed.host.empty()) {
        error = "MQTT URL " + quoted + " has no host";
        return false;
    }
    if (portStart != std::string::npos) {
        const std::string portText = rest.substr(portStart);
        const auto port = portText.find_first_not_of("0123456789") == std::string::npos
                              ? VEK::ParseWholeDecimal(portText)
                              : std::nullopt;
        if (!port || *port < 1 || *port > 65535) {
            error = "MQTT URL " + quoted + " has a bad port (1 to 65535)";
            return false;
        }
        parsed.port = static_cast<int>(*port);
    }
    endpoint = parsed;
    return true;
}
