#include <gtest/gtest.h>

#include <QApplication>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "app/WaitToStopDlg.h"
#include "display/TestApplication.h"
#include "support/TestHome.h"

namespace {

class WaitToStopDlgTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { EnsureTestApplication(); }
    bool stopped = false;
    CWaitToStopDlg dialog{[this] { return stopped; }};

    // Runs action on the open dialog once the event loop is running.
    void OnceOpen(std::function<void()> action) {
        QTimer::singleShot(200, &dialog, [this, action] {
            EXPECT_TRUE(dialog.isVisible());
            action();
        });
    }
};

TEST_F(WaitToStopDlgTest, AlreadyStoppedNeverOpens) {
    stopped = true;
    EXPECT_EQ(dialog.exec(), CWaitToStopDlg::kStopped);
    EXPECT_FALSE(dialog.isVisible());
}

TEST_F(WaitToStopDlgTest, ClosesItselfOnceStopped) {
    OnceOpen([this] { stopped = true; });
    EXPECT_EQ(dialog.exec(), CWaitToStopDlg::kStopped);
}

TEST_F(WaitToStopDlgTest, EnterDoesNothingCancelGivesUp) {
    EXPECT_EQ(dialog.windowTitle(), "WaitToStop");
    OnceOpen([this] {
        QTest::keyClick(&dialog, Qt::Key_Return);
        EXPECT_TRUE(dialog.isVisible());
        dialog.findChild<QPushButton*>("cancel")->click();
    });
    EXPECT_EQ(dialog.exec(), CWaitToStopDlg::kCancelled);
}

TEST_F(WaitToStopDlgTest, EscapeIsCancel) {
    OnceOpen([this] { QTest::keyClick(&dialog, Qt::Key_Escape); });
    EXPECT_EQ(dialog.exec(), CWaitToStopDlg::kCancelled);
}

}  // namespace
