#pragma once
#include <cstdint>
#include <string>

// What the front ends show about publishing.
struct TMqttStatus {
    enum class EState {
        kConnecting,   // the first attempt is under way
        kConnected,    // records are being delivered
        kUnreachable,  // no connection: no broker, no answer, or the connection was lost
        kRefused,      // the broker said no (user, password, client id)
        kStopped,      // the publisher has ended
    };

    EState state = EState::kConnecting;
    std::string broker;      // "host:port"
    std::string reason;      // why not connected, as the broker or the system gave it
    uint64_t delivered = 0;  // records the broker has acknowledged
    uint64_t waiting = 0;    // records not yet acknowledged
    uint64_t spilled = 0;    // of them, in the spill file
    std::string spillError;  // why the spill file cannot be used, else empty
    uint64_t dropped = 0;    // records given up (caps, refused by the library, not records)
    std::string dropReason;  // why the last of them went

    // One line: "MQTT connected", "MQTT unreachable (Connection refused), 120 waiting, 40 in spill file",
    // "MQTT connected, 3 dropped (the MQTT library refused it: Invalid function arguments provided.)".
    std::string Text() const;
    bool operator==(const TMqttStatus&) const = default;
};
