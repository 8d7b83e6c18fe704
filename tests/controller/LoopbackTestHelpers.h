#pragma once
// Helpers of the tests that run the controller or the programs over 127.0.0.1.
#include <QCoreApplication>
#include <QElapsedTimer>
#include <cstdint>
#include <functional>

#include "support/LoopbackPort.h"

using testing_support::FreeLoopbackPort;

// A client connected to the loopback port; -1 when nobody accepts.
inline int ConnectLoopback(uint16_t port) {
    int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        close(fd);
        return -1;
    }
    return fd;
}

// Runs the event loop until the predicate holds; false after the time-out.
inline bool Pump(const std::function<bool()>& predicate, int timeoutMs) {
    QElapsedTimer clock;
    clock.start();
    while (!predicate()) {
        if (clock.elapsed() > timeoutMs)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    return true;
}
