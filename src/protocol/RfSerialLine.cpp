#include "protocol/RfSerialLine.h"

#include <sys/ioctl.h>

namespace QNL {

int CRfSerialLine::OpenPortFile(const std::string& name) {
    int fd = CRs232c::OpenPortFile(name);
    std::lock_guard<std::mutex> lock(m_linesLock);
    m_openedFd = fd;
    return fd;
}

bool CRfSerialLine::Open() {
    bool opened = CRs232c::Open();
    std::lock_guard<std::mutex> lock(m_linesLock);
    // A port that failed its configuration was closed by the base without Close.
    m_linesFd = opened ? m_openedFd : -1;
    m_openedFd = -1;
    return opened;
}

void CRfSerialLine::Close() {
    {
        std::lock_guard<std::mutex> lock(m_linesLock);
        m_linesFd = -1;
    }
    CRs232c::Close();
}

bool CRfSerialLine::ChangeModemLines(int fd, unsigned long request, int bits) {
    return ioctl(fd, request, &bits) == 0;
}

bool CRfSerialLine::SetRts(bool raised) {
    std::lock_guard<std::mutex> lock(m_linesLock);
    return m_linesFd >= 0 && ChangeModemLines(m_linesFd, raised ? TIOCMBIS : TIOCMBIC, TIOCM_RTS);
}

bool CRfSerialLine::IsCtsSet() {
    std::lock_guard<std::mutex> lock(m_linesLock);
    int lines = 0;
    return m_linesFd >= 0 && ReadModemLines(m_linesFd, lines) && (lines & TIOCM_CTS) != 0;
}

}  // namespace QNL
