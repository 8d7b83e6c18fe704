#include "protocol/RfSerialLine.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <atomic>

namespace {

// The serial line on a pseudo terminal ("COM7" opens its slave side). Pseudo terminals have no
// modem lines, so CTS is played by the test and RTS changes are logged.
class CPtyLine : public QNL::CRfSerialLine {
public:
    CPtyLine() {
        m_master = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
        grantpt(m_master);
        unlockpt(m_master);
        m_slavePath = ptsname(m_master);
        TSettings settings;
        settings.portName = "COM7";
        SetSettings(settings);
    }
    ~CPtyLine() override {
        Close();
        close(m_master);
    }

    std::atomic<bool> cts{false};
    std::vector<std::pair<unsigned long, int>> changes;

protected:
    int OpenPortFile(const std::string& name) override {
        return CRfSerialLine::OpenPortFile(name == "COM7" ? m_slavePath : name);
    }
    bool ReadModemLines(int, int& lines) const override {
        lines = cts ? TIOCM_CTS : 0;
        return true;
    }
    bool ChangeModemLines(int, unsigned long request, int bits) override {
        changes.emplace_back(request, bits);
        return true;
    }

private:
    int m_master;
    std::string m_slavePath;
};

}  // namespace

TEST(RfSerialLineTest, ModemLinesOnlyWhileOpen) {
    CPtyLine line;
    line.cts = true;
    EXPECT_FALSE(line.SetRts(false));
    EXPECT_FALSE(line.IsCtsSet());

    ASSERT_TRUE(line.Open());
    EXPECT_TRUE(line.IsCtsSet());
    line.cts = false;
    EXPECT_FALSE(line.IsCtsSet());
    EXPECT_TRUE(line.SetRts(false));
    EXPECT_TRUE(line.SetRts(true));
    EXPECT_EQ(line.changes,
              (std::vector<std::pair<unsigned long, int>>{{TIOCMBIC, TIOCM_RTS}, {TIOCMBIS, TIOCM_RTS}}));

    line.Close();
    line.cts = true;
    EXPECT_FALSE(line.IsCtsSet());
    EXPECT_FALSE(line.SetRts(true));
    EXPECT_EQ(line.changes.size(), 2u);
}

TEST(RfSerialLineTest, APortThatDoesNotOpenHasNoLines) {
    CPtyLine line;
    QNL::CRfSerialLine::TSettings settings;
    settings.portName = "/nonexistent/ttyS99";
    line.SetSettings(settings);
    line.cts = true;
    EXPECT_FALSE(line.Open());
    EXPECT_FALSE(line.IsCtsSet());
    EXPECT_FALSE(line.SetRts(false));
}

// Over the line, the handshake drops RTS, waits for CTS and raises RTS again.
TEST(RfSerialLineTest, HandshakeOverTheLine) {
    CPtyLine line;
    ASSERT_TRUE(line.Open());
    EXPECT_EQ(QNL::CSerialHandshake::Run(line, 20, [] { return 0; }), QNL::CSerialHandshake::kNoCts);
    line.cts = true;
    EXPECT_EQ(QNL::CSerialHandshake::Run(line, 5000, [] { return 7; }), 7);
    EXPECT_EQ(line.changes.size(), 4u);
}
