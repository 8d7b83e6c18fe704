#pragma once
// Helpers of the tests that run the controller or the programs over 127.0.0.1.
#include <QCoreApplication>
#include <QElapsedTimer>
#include <cstdint>
#include <functional>

#include "support/LoopbackPort.h"

using testing_support::FreeLoopbackPort;

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
