#pragma once
#include <termios.h>

#include <atomic>
#include <mutex>
#include <string>

#include "link/ICommunication.h"
#include "support/CopyImpossible.h"

namespace VEK {

// A dongle on a serial line, over termios. Reads return at once with whatever is waiting.
class CRs232c : public ICommunication, private CCopyImpossible {
public:
    struct TSettings {
        std::string portName;  // device file, e.g. /dev/ttyUSB0
        unsigned baudRate = 9600;
        // 8 data bits: frames are binary, 7 would strip bit 7 of every byte.
        int byteSize = 8;
        int parity = 0;    // 0 none, 1 odd, 2 even
        int stopBits = 0;  // 0 one, 2 two
        bool followCts = false;
        bool blockWrite = true;  // false: byte by byte
    };
    static constexpr int kByteAttempts = 10;

    CRs232c() = default;
    ~CRs232c() override;

    void SetSettings(const TSettings& settings) { m_settings = settings; }
    const TSettings& Settings() const { return m_settings; }

    TCommProperty QueryProperties() const override;
    bool SetReceiveWait(uint32_t) override { return false; }
    bool Open() override;
    void Close() override;
    bool IsOpen() const override { return m_open; }
    bool IsLinked() const override { return m_cts; }
    int Send(size_t size, const uint8_t* bytes) override;
    int Receive(size_t maxSize, uint8_t* buffer) override;
    int PendingByteCount() const override;
    int LinkState() const override;
    void DropPending() override;

    // Modem lines of the open port (TIOCM_* bits), under the handle's lock; false while the port is
    // closed or the driver has no modem lines.
    bool SetModemLine(int bit, bool set);
    bool ModemLines(int& lines) const;

protected:
    // Steps a subclass may replace: accept or change the prepared configuration, open the port
    // file, write, read, and read the modem lines (TIOCM_* bits; false when they cannot be read).
    virtual bool AdjustConfiguration(termios& /*config*/) { return true; }
    virtual int OpenPortFile(const std::string& name);
    virtual ssize_t WriteBytes(int fd, const uint8_t* bytes, size_t size);
    virtual ssize_t ReadBytes(int fd, uint8_t* buffer, size_t size);
    virtual bool ReadModemLines(int fd, int& lines) const;
    // Sets (TIOCMBIS) or clears (TIOCMBIC) modem line bits.
    virtual bool ChangeModemLines(int fd, unsigned long request, int bits);

private:
    bool Configure(int fd);
    int SendBlock(size_t size, const uint8_t* bytes);
    int SendByteByByte(size_t size, const uint8_t* bytes);

    TSettings m_settings;
    // Guards the handle: Send, Receive and Close may run on different threads.
    mutable std::mutex m_lock;
    int m_fd = -1;
    std::atomic<bool> m_open{false};
    mutable std::atomic<bool> m_cts{false};
    std::string m_name = "RS232C";
    uint32_t m_instance = 0;
};

}  // namespace VEK
