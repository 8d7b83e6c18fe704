#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>

#include "link/Rs232c.h"

using namespace VEK;

namespace {

// A serial port played by a pseudo terminal: "COM3" opens its slave side. Pseudo terminals have
// no modem lines, so CTS is reported as set.
class CPtySerial : public CRs232c {
public:
    CPtySerial() {
        m_master = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
        grantpt(m_master);
        unlockpt(m_master);
        m_slavePath = ptsname(m_master);
    }
    ~CPtySerial() override {
        Close();
        close(m_master);
    }
    int Master() const { return m_master; }
    bool stuck = false;  // the line moves nothing
    std::atomic<bool> cts{true};

protected:
    int OpenPortFile(const std::string& name) override {
        return CRs232c::OpenPortFile(name == "COM3" ? m_slavePath : name);
    }
    ssize_t WriteBytes(int fd, const uint8_t* bytes, size_t size) override {
        return stuck ? 0 : CRs232c::WriteBytes(fd, bytes, size);
    }
    bool ReadModemLines(int, int& lines) const override {
        lines = cts ? TIOCM_CTS : 0;
        return true;
    }

private:
    int m_master;
    std::string m_slavePath;
};

std::vector<uint8_t> AllByteValues() {
    std::vector<uint8_t> bytes(256);
    for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<uint8_t>(i);
    return bytes;
}

CRs232c::TSettings Port(const std::string& name) {
    CRs232c::TSettings settings;
    settings.portName = name;
    return settings;
}

}  // namespace

TEST(Rs232c, OpenNamesThePortAndFailsWithoutOne) {
    CPtySerial serial;
    EXPECT_FALSE(serial.Open());
    EXPECT_EQ(serial.QueryProperties().name, "RS232C");
    serial.SetSettings(Port("COM3"));
    ASSERT_TRUE(serial.Open());
    TCommProperty property = serial.QueryProperties();
    EXPECT_EQ(property.name, "RS232C(COM3)");
    EXPECT_EQ(property.typeId, MakeCommTypeId(kCommKindSerial, 3));
    EXPECT_EQ(property.sendUnit, -1);
    EXPECT_FALSE(serial.SetReceiveWait(100));
    EXPECT_EQ(serial.LinkState(), ICommunication::kConnected);
    serial.Close();
    EXPECT_EQ(serial.LinkState(), ICommunication::kClosed);
    EXPECT_EQ(serial.Send(1, AllByteValues().data()), -1);
}

TEST(Rs232c, CarriesEveryByteValueBothWays) {
    CPtySerial serial;
    serial.SetSettings(Port("COM3"));
    ASSERT_TRUE(serial.Open());
    std::vector<uint8_t> buffer(512);
    EXPECT_EQ(serial.Receive(buffer.size(), buffer.data()), 0);  // nothing waiting: at once

    std::vector<uint8_t> bytes = AllByteValues();
    ASSERT_EQ(write(serial.Master(), bytes.data(), bytes.size()), 256);
    std::vector<uint8_t> received;
    for (int i = 0; i < 1000 && received.size() < bytes.size(); ++i) {
        int n = serial.Receive(buffer.size(), buffer.data());
        ASSERT_GE(n, 0);
        received.insert(received.end(), buffer.begin(), buffer.begin() + n);
        if (n == 0)
            usleep(1000);
    }
    EXPECT_EQ(received, bytes);

    ASSERT_EQ(serial.Send(bytes.size(), bytes.data()), 256);
    std::vector<uint8_t> echoed;
    while (echoed.size() < bytes.size()) {
        ssize_t n = read(serial.Master(), buffer.data(), buffer.size());
        ASSERT_GT(n, 0);
        echoed.insert(echoed.end(), buffer.begin(), buffer.begin() + n);
    }
    EXPECT_EQ(echoed, bytes);
}

TEST(Rs232c, ALineThatMovesNothingFailsInsteadOfHanging) {
    for (bool blockWrite : {true, false}) {
        CPtySerial serial;
        CRs232c::TSettings settings = Port("COM3");
        settings.blockWrite = blockWrite;
        serial.SetSettings(settings);
        ASSERT_TRUE(serial.Open());
        serial.stuck = true;
        const uint8_t frame[] = {0x02, 0x02, 0x2A, 0x2C, 0x03};
        EXPECT_EQ(serial.Send(sizeof frame, frame), -1) << blockWrite;
    }
}

TEST(Rs232c, LinkStateFollowsCtsWhenAsked) {
    CPtySerial serial;
    CRs232c::TSettings settings = Port("COM3");
    settings.followCts = true;
    serial.SetSettings(settings);
    ASSERT_TRUE(serial.Open());
    serial.cts = false;
    EXPECT_EQ(serial.LinkState(), ICommunication::kOpenNotConnected);
    EXPECT_FALSE(serial.IsLinked());
    serial.cts = true;
    EXPECT_EQ(serial.LinkState(), ICommunication::kConnected);
    EXPECT_TRUE(serial.IsLinked());
}
