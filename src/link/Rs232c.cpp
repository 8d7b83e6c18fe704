#include "link/Rs232c.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <chrono>
#include <thread>

namespace VEK {
namespace {

speed_t SpeedOf(unsigned baud) {
    switch (baud) {
        case 1200:
            return B1200;
        case 2400:
            return B2400;
        case 4800:
            return B4800;
        case 19200:
            return B19200;
        case 38400:
            return B38400;
        case 57600:
            return B57600;
        case 115200:
            return B115200;
        case 230400:
            return B230400;
        default:
            return B9600;
    }
}

tcflag_t ByteSizeFlag(int bits) {
    switch (bits) {
        case 5:
            return CS5;
        case 6:
            return CS6;
        case 7:
            return CS7;
        default:
            return CS8;
    }
}

}  // namespace

CRs232c::~CRs232c() {
    Close();
}

TCommProperty CRs232c::QueryProperties() const {
    std::lock_guard<std::mutex> lock(m_lock);
    TCommProperty property;
    property.name = m_name;
    property.typeId = MakeCommTypeId(kCommKindSerial, m_instance);
    property.receiveWaitMs = 0;
    property.sendUnit = -1;
    property.receiveUnit = -1;
    return property;
}

int CRs232c::OpenPortFile(const std::string& name) {
    return open(name.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
}

ssize_t CRs232c::WriteBytes(int fd, const uint8_t* bytes, size_t size) {
    return write(fd, bytes, size);
}

ssize_t CRs232c::ReadBytes(int fd, uint8_t* buffer, size_t size) {
    return read(fd, buffer, size);
}

bool CRs232c::ReadModemLines(int fd, int& lines) const {
    return ioctl(fd, TIOCMGET, &lines) == 0;
}

bool CRs232c::ChangeModemLines(int fd, unsigned long request, int bits) {
    return ioctl(fd, request, &bits) == 0;
}

bool CRs232c::SetModemLine(int bit, bool set) {
    std::lock_guard<std::mutex> lock(m_lock);
    return m_fd >= 0 && ChangeModemLines(m_fd, set ? TIOCMBIS : TIOCMBIC, bit);
}

bool CRs232c::ModemLines(int& lines) const {
    std::lock_guard<std::mutex> lock(m_lock);
    return m_fd >= 0 && ReadModemLines(m_fd, lines);
}

bool CRs232c::Configure(int fd) {
    termios config{};
    if (tcgetattr(fd, &config) != 0)
        return false;
    cfmakeraw(&config);
    cfsetispeed(&config, SpeedOf(m_settings.baudRate));
    cfsetospeed(&config, SpeedOf(m_settings.baudRate));
    config.c_cflag &= ~(CSIZE | PARENB | PARODD | CSTOPB | CRTSCTS | HUPCL);
    config.c_cflag |= ByteSizeFlag(m_settings.byteSize) | CLOCAL | CREAD;
    if (m_settings.parity != 0) {
        config.c_cflag |= PARENB | (m_settings.parity == 1 ? PARODD : 0);
        config.c_iflag |= INPCK;
    }
    if (m_settings.stopBits != 0)
        config.c_cflag |= CSTOPB;
    config.c_iflag &= ~(IXON | IXOFF | IXANY);
    config.c_cc[VMIN] = 0;  // reads return at once with what is waiting
    config.c_cc[VTIME] = 0;
    if (!AdjustConfiguration(config)) {
        errno = EAGAIN;
        return false;
    }
    return tcsetattr(fd, TCSANOW, &config) == 0;
}

bool CRs232c::Open() {
    Close();
    if (m_settings.portName.empty()) {
        errno = EINVAL;
        return false;
    }
    int fd = OpenPortFile(m_settings.portName);
    if (fd < 0)
        return false;
    ioctl(fd, TIOCEXCL);  // exclusive, as far as the driver supports it
    tcflush(fd, TCIOFLUSH);
    if (!Configure(fd)) {
        int error = errno;
        close(fd);
        errno = error;
        return false;
    }
    tcflush(fd, TCIOFLUSH);

    // "COM3" gives RS232C(COM3) and instance 3; the number is the one that starts at the first digit.
    const std::string& port = m_settings.portName;
    size_t digit = 0;
    while (digit < port.size() && !std::isdigit(static_cast<unsigned char>(port[digit]))) ++digit;
    unsigned number = 0;
    for (size_t i = digit; i < port.size() && std::isdigit(static_cast<unsigned char>(port[i])); ++i) {
        number = number * 10 + static_cast<unsigned>(port[i] - '0');
    }
    std::lock_guard<std::mutex> lock(m_lock);
    m_fd = fd;
    m_name = "RS232C(" + port.substr(0, digit) + std::to_string(number) + ")";
    m_instance = number;
    m_open = true;
    return true;
}

void CRs232c::Close() {
    std::lock_guard<std::mutex> lock(m_lock);
    if (m_fd < 0)
        return;
    int lines = TIOCM_DTR | TIOCM_RTS;
    ioctl(m_fd, TIOCMBIC, &lines);
    close(m_fd);
    m_fd = -1;
    m_open = false;
    m_cts = false;
}

int CRs232c::Send(size_t size, const uint8_t* bytes) {
    std::lock_guard<std::mutex> lock(m_lock);
    if (m_fd < 0)
        return -1;
    return m_settings.blockWrite ? SendBlock(size, bytes) : SendByteByByte(size, bytes);
}

int CRs232c::SendBlock(size_t size, const uint8_t* bytes) {
    // 1 ms per byte plus a second; a line that moves nothing fails at the deadline.
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(1000 + size);
    size_t sent = 0;
    while (sent < size) {
        ssize_t n = WriteBytes(m_fd, bytes + sent, size - sent);
        if (n > 0) {
            sent += static_cast<size_t>(n);
            continue;
        }
        if (n < 0 && errno != EAGAIN && errno != EINTR)
            return -1;
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline -
                                                                          std::chrono::steady_clock::now());
        if (left.count() <= 0)
            return -1;
        pollfd entry{m_fd, POLLOUT, 0};
        poll(&entry, 1, static_cast<int>(std::min<long>(left.count(), 10)));
    }
    return static_cast<int>(size);
}

int CRs232c::SendByteByByte(size_t size, const uint8_t* bytes) {
    for (size_t i = 0; i < size; ++i) {
        int attempt = 0;
        while (WriteBytes(m_fd, bytes + i, 1) != 1) {
            if (++attempt >= kByteAttempts)
                return -1;
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    }
    return static_cast<int>(size);
}

int CRs232c::Receive(size_t maxSize, uint8_t* buffer) {
    std::lock_guard<std::mutex> lock(m_lock);
    if (m_fd < 0)
        return -1;
    int waiting = 0;
    if (ioctl(m_fd, FIONREAD, &waiting) != 0)
        return -1;
    size_t count = std::min(static_cast<size_t>(waiting), maxSize);
    if (count == 0)
        return 0;
    ssize_t n = ReadBytes(m_fd, buffer, count);
    if (n < 0)
        return errno == EAGAIN || errno == EINTR ? 0 : -1;
    return static_cast<int>(n);
}

int CRs232c::PendingByteCount() const {
    std::lock_guard<std::mutex> lock(m_lock);
    int waiting = 0;
    if (m_fd < 0 || ioctl(m_fd, FIONREAD, &waiting) != 0)
        return -1;
    return waiting;
}

int CRs232c::LinkState() const {
    std::lock_guard<std::mutex> lock(m_lock);
    int lines = 0;
    if (m_fd < 0 || !ReadModemLines(m_fd, lines))
        return kClosed;
    if (!m_settings.followCts)
        return kConnected;
    m_cts = (lines & TIOCM_CTS) != 0;
    return m_cts ? kConnected : kOpenNotConnected;
}

void CRs232c::DropPending() {
    std::lock_guard<std::mutex> lock(m_lock);
    if (m_fd >= 0)
        tcflush(m_fd, TCIOFLUSH);
}

}  // namespace VEK
