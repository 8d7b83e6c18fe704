#include "protocol/RfSerialLine.h"

#include <sys/ioctl.h>

namespace QNL {

bool CRfSerialLine::SetRts(bool raised) {
    return SetModemLine(TIOCM_RTS, raised);
}

bool CRfSerialLine::IsCtsSet() {
    int lines = 0;
    return ModemLines(lines) && (lines & TIOCM_CTS) != 0;
}

}  // namespace QNL
