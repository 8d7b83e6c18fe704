// Keep-awake over a private session bus with a stand-in for the desktop's screensaver service, on
// a connection of its own as a separate program would be.
#include <gtest/gtest.h>
#include <signal.h>
#include <stdio.h>

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusContext>
#include <QDBusMessage>
#include <QElapsedTimer>
#include <QObject>
#include <cstdlib>
#include <optional>
#include <vector>

#include "controller/KeepAwake.h"
#include "controller/LoopbackTestHelpers.h"

namespace {

class CScreenSaverStandIn : public QObject, protected QDBusContext {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.ScreenSaver")
public:
    std::vector<QString> calls;
    // Set: Inhibit is never answered by itself; the call waits here.
    bool hung = false;
    std::optional<QDBusMessage> heldCall;

    void AnswerHeldCall(uint cookie) {
        QDBusConnection("stand-in").send(heldCall->createReply(cookie));
        heldCall.reset();
    }

public slots:
    uint Inhibit(const QString& application, const QString&) {
        calls.push_back("Inhibit " + application);
        if (hung) {
            setDelayedReply(true);
            heldCall = message();
        }
        return 42;
    }
    void UnInhibit(uint cookie) { calls.push_back("UnInhibit " + QString::number(cookie)); }
};

class KeepAwakeTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        static int argc = 1;
        static char name[] = "keep_awake_tests";
        static char* argv[] = {name, nullptr};
        // No system bus here: logind is out of reach, the session bus is ours.
        setenv("DBUS_SYSTEM_BUS_ADDRESS", "unix:path=/nonexistent/system_bus_socket", 1);
        FILE* daemon = popen("dbus-daemon --session --fork --print-address=1 --print-pid=1 2>/dev/null", "r");
        char address[512] = {};
        char pid[32] = {};
        if (daemon != nullptr && fgets(address, sizeof address, daemon) != nullptr &&
            fgets(pid, sizeof pid, daemon) != nullptr) {
            address[strcspn(address, "\n")] = 0;
            setenv("DBUS_SESSION_BUS_ADDRESS", address, 1);
            s_daemonPid = atoi(pid);
        }
        if (daemon != nullptr)
            pclose(daemon);
        if (QCoreApplication::instance() == nullptr)
            new QCoreApplication(argc, argv);
    }
    static void TearDownTestSuite() {
        if (s_daemonPid > 0)
            kill(s_daemonPid, SIGTERM);
    }

    void SetUp() override {
        if (s_daemonPid <= 0)
            GTEST_SKIP() << "no dbus-daemon";
        QDBusConnection bus = QDBusConnection::connectToBus(QDBusConnection::SessionBus, "stand-in");
        ASSERT_TRUE(bus.isConnected());
        ASSERT_TRUE(bus.registerService("org.freedesktop.ScreenSaver"));
        ASSERT_TRUE(bus.registerObject("/org/freedesktop/ScreenSaver", &screenSaver,
                                       QDBusConnection::ExportAllSlots));
        // The program's own connection exists before anything is timed, as after its first run.
        ASSERT_TRUE(QDBusConnection::sessionBus().isConnected());
    }
    void TearDown() override {
        if (s_daemonPid <= 0)
            return;
        QDBusConnection bus("stand-in");
        bus.unregisterObject("/org/freedesktop/ScreenSaver");
        bus.unregisterService("org.freedesktop.ScreenSaver");
    }

    static inline int s_daemonPid = 0;
    CScreenSaverStandIn screenSaver;
};

TEST_F(KeepAwakeTest, TakenForTheRunAndReleasedAtItsEnd) {
    CKeepAwake keepAwake;
    keepAwake.Acquire();
    keepAwake.Acquire();  // once per run
    ASSERT_TRUE(Pump([&] { return keepAwake.HoldsIdleInhibit(); }, 5000));
    EXPECT_FALSE(keepAwake.HoldsSleepInhibit());  // no logind here
    keepAwake.Release();
    EXPECT_FALSE(keepAwake.HoldsIdleInhibit());
    ASSERT_TRUE(Pump([&] { return screenSaver.calls.size() == 2; }, 5000));
    EXPECT_EQ(screenSaver.calls, (std::vector<QString>{"Inhibit Brisquent", "UnInhibit 42"}));
}

// A service that hangs costs the window thread nothing; its late inhibit is given back at once.
TEST_F(KeepAwakeTest, HungServiceNeverHoldsUpTheCaller) {
    screenSaver.hung = true;
    CKeepAwake keepAwake;
    QElapsedTimer clock;
    clock.start();
    keepAwake.Acquire();
    keepAwake.Release();
    // The old blocking call waited two seconds here; the goal is well below 200 ms.
    EXPECT_LT(clock.elapsed(), 200);
    ASSERT_TRUE(Pump([&] { return screenSaver.heldCall.has_value(); }, 5000));
    screenSaver.AnswerHeldCall(7);
    ASSERT_TRUE(Pump([&] { return screenSaver.calls.size() == 2; }, 5000));
    EXPECT_EQ(screenSaver.calls, (std::vector<QString>{"Inhibit Brisquent", "UnInhibit 7"}));
    EXPECT_FALSE(keepAwake.HoldsIdleInhibit());
}

TEST_F(KeepAwakeTest, SilentlyAbsentWithoutTheService) {
    TearDown();
    CKeepAwake keepAwake;
    keepAwake.Acquire();
    EXPECT_TRUE(keepAwake.Requested());
    Pump([] { return false; }, 300);
    EXPECT_FALSE(keepAwake.HoldsIdleInhibit());
    EXPECT_FALSE(keepAwake.HoldsSleepInhibit());
    keepAwake.Release();
    EXPECT_FALSE(keepAwake.Requested());
}

}  // namespace

#include "KeepAwakeTest.moc"
