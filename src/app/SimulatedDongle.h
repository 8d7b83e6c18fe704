#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "counterpart/OppositeSession.h"
#include "files/DeviceSettings.h"

// hollowmere --simulate: the dongle and its units played inside the application, on the
// development TCP server's port, so that it runs end to end without hardware or settings changes.
class CSimulatedDongle {
public:
    // The units as scripts/run.sh used to start hollowmere-sim (hollowmere-sim --help names them).
    static const std::vector<std::string>& DefaultOptions();
    // The transport the application takes instead of define.ini: a TCP server on 127.0.0.1 at any
    // free port.
    static VEK::TDeviceSettings Transport();

    // options: hollowmere-sim's; others are a programming error (std::invalid_argument).
    explicit CSimulatedDongle(const std::vector<std::string>& options = DefaultOptions());

    // Connects to the application's port and keeps reconnecting.
    bool Start(uint16_t port);
    void Stop() { m_session.Stop(); }
    COppositeSession& Session() { return m_session; }

private:
    COppositeSession m_session;
};
