#pragma once
#include "link/Rs232c.h"
#include "protocol/SerialHandshake.h"

namespace QNL {

// The serial dongle's port with the RTS and CTS lines the handshake needs.
class CRfSerialLine : public VEK::CRs232c, public CSerialHandshake::ILines {
public:
    // False while the port is closed or the driver has no modem lines.
    bool SetRts(bool raised) override;
    bool IsCtsSet() override;
};

}  // namespace QNL
