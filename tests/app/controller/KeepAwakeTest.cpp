// Keep-awake over a private session bus with a stand-in for the desktop's screensaver service.
#include <gtest/gtest.h>
#include <signal.h>
#include <stdio.h>

#include <QCoreApplication>
#include <QDBusConnection>
#include <QObject>
#include <cstdlib>
#include <vector>

#include "app/controller/KeepAwake.h"

namespace {

class CScreenSaverStandIn : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.ScreenSaver")
public:
    std::vector<QString> calls;

public slots:
    uint Inhibit(const QString& application, const QString&) {
        calls.push_back("Inhibit " + application);
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
    static inline int s_daemonPid = 0;
};

TEST_F(KeepAwakeTest, TakenForTheRunAndReleasedAtItsEnd) {
    if (s_daemonPid <= 0)
        GTEST_SKIP() << "no dbus-daemon";
    QDBusConnection bus = QDBusConnection::sessionBus();
    ASSERT_TRUE(bus.isConnected());
    CScreenSaverStandIn screenSaver;
    ASSERT_TRUE(bus.registerService("org.freedesktop.ScreenSaver"));
    ASSERT_TRUE(
        bus.registerObject("/org/freedesktop/ScreenSaver", &screenSaver, QDBusConnection::ExportAllSlots));

    CKeepAwake keepAwake;
    keepAwake.Acquire();
    keepAwake.Acquire();  // once per run
    EXPECT_EQ(keepAwake.Held(), CKeepAwake::EKind::kScreenSaver);
    keepAwake.Release();
    EXPECT_EQ(keepAwake.Held(), CKeepAwake::EKind::kNone);
    EXPECT_EQ(screenSaver.calls, (std::vector<QString>{"Inhibit Brisquent", "UnInhibit 42"}));
}

TEST_F(KeepAwakeTest, SilentlyAbsentWithoutTheService) {
    CKeepAwake keepAwake;
    keepAwake.Acquire();
    EXPECT_TRUE(keepAwake.Requested());
    EXPECT_EQ(keepAwake.Held(), CKeepAwake::EKind::kNone);
    keepAwake.Release();
    EXPECT_FALSE(keepAwake.Requested());
}

}  // namespace

#include "KeepAwakeTest.moc"
