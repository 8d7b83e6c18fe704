#pragma once
#include <mutex>

#include "link/Rs232c.h"
#include "protocol/SerialHandshake.h"

namespace QNL {

// The serial dongle's port with the RTS and CTS lines the handshake needs.
class CRfSerialLine : public VEK::CRs232c, public CSerialHandshake::ILines {
public:
    ~CRfSerialLine() override { Close(); }

    bool Open() override;
    void Close() override;

    // False while the port is closed or the driver has no modem lines.
    bool SetRts(bool raised) override;
    bool IsCtsSet() override;

protected:
    int OpenPortFile(const std::string& name) override;
    // Sets (TIOCMBIS) or clears (TIOCMBIC) the modem line bits.
    virtual bool ChangeModemLines(int fd, unsigned long request, int bits);

private:
    // The descriptor the base opened; forgotten before the base closes it.
    std::mutex m_linesLock;
    int m_openedFd = -1;
    int m_linesFd = -1;
};

}  // namespace QNL
