#include "controller/QuitSignalNotifier.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>

namespace {

int g_signalPipe[2] = {-1, -1};

void OnSignal(int) {
    const int savedErrno = errno;  // the interrupted code may be about to read it
    char byte = 1;
    (void)!write(g_signalPipe[1], &byte, 1);  // async-signal-safe
    errno = savedErrno;
}

}  // namespace

CQuitSignalNotifier::CQuitSignalNotifier(QObject* parent) : QObject(parent) {
    if (g_signalPipe[0] < 0 && pipe2(g_signalPipe, O_CLOEXEC | O_NONBLOCK) != 0)
        return;
    m_notifier = std::make_unique<QSocketNotifier>(g_signalPipe[0], QSocketNotifier::Read);
    connect(m_notifier.get(), &QSocketNotifier::activated, this, [this] {
        char buffer[16];
        while (read(g_signalPipe[0], buffer, sizeof buffer) > 0) {
        }
        emit quitRequested();
    });
    struct sigaction action {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGINT, &action, nullptr);
}

CQuitSignalNotifier::~CQuitSignalNotifier() {
    signal(SIGTERM, SIG_DFL);
    signal(SIGINT, SIG_DFL);
}
