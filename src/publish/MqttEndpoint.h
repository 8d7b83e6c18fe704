#pragma once
#include <string>

// Where the broker listens, from a URL: "mqtt://host[:port]" (port 1883) or "mqtts://host[:port]"
// (TLS, port 8883). An IPv6 address is written in brackets: "mqtt://[::1]:1883".
struct TMqttEndpoint {
    static constexpr int kPlainPort = 1883;
    static constexpr int kTlsPort = 8883;

    std::string host;
    int port = 0;
    bool tls = false;

    // False with the reason for another scheme, a missing host, a bad port, user information or a
    // path; the endpoint is then unchanged.
    static bool Parse(const std::string& url, TMqttEndpoint& endpoint, std::string& error);
};
