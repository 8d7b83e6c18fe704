#include "app/SimulatedDongle.h"

#include <chrono>
#include <stdexcept>

#include "counterpart/SimOptions.h"

namespace {

uint32_t Seed() {
    return static_cast<uint32_t>(std::chrono::steady_clock::now().time_since_epoch().count());
}

}  // namespace

const std::vector<std::string>& CSimulatedDongle::DefaultOptions() {
    static const std::vector<std::string> options{
        "--sensor", "800", "--jitter", "8", "--thermo", "1-10=0x100", "--auto-info", "--auto-stop-notice"};
    return options;
}

VEK::TDeviceSettings CSimulatedDongle::Transport() {
    VEK::TDeviceSettings transport;
    transport.vendorText = "tcp";
    transport.productText = "0";
    transport.tcpAddress = "127.0.0.1";
    return transport;
}

CSimulatedDongle::CSimulatedDongle(const std::vector<std::string>& options) : m_session(Seed()) {
    TSimOptions parsed;
    std::string error;
    // The options are the program's own or a test's: a mistake there is a programming error.
    if (!ParseSimOptions(options, parsed, error))
        throw std::invalid_argument(error);
    m_session.WithEngine([&](COppositeEngine& engine) { ApplySimOptions(parsed, engine); });
    m_session.SetLinkFaults(parsed.link);
}

bool CSimulatedDongle::Start(uint16_t port) {
    m_session.SetServer("127.0.0.1", port);
    return port != 0 && m_session.Start();
}
