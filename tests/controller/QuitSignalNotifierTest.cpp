#include <gtest/gtest.h>

#include <QCoreApplication>
#include <cerrno>
#include <csignal>

#include "controller/QuitSignalNotifier.h"

// The handler interrupts arbitrary code: whatever its own write does, errno is as it found it,
// also when the write fails because nobody has read the signals yet.
TEST(QuitSignalNotifier, HandlerLeavesErrnoAlone) {
    int argc = 1;
    char name[] = "quit-signal-test";
    char* argv[] = {name, nullptr};
    QCoreApplication application(argc, argv);
    CQuitSignalNotifier notifier;
    int requests = 0;
    QObject::connect(&notifier, &CQuitSignalNotifier::quitRequested, [&] { ++requests; });
    // More signals than the pipe holds: the last writes fail with EAGAIN.
    for (int i = 0; i < 70000; ++i) {
        errno = EDOM;
        raise(SIGTERM);
        ASSERT_EQ(errno, EDOM) << "signal " << i;
    }
    QCoreApplication::processEvents();
    EXPECT_EQ(requests, 1);
}
