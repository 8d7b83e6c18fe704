#pragma once
#include "support/CopyImpossible.h"

namespace VEK {

// An eventfd that a thread waiting in poll includes, so that Stop wakes it at once.
class CWakeupFd : private CCopyImpossible {
public:
    CWakeupFd();
    ~CWakeupFd();
    int Fd() const { return m_fd; }
    void Signal();
    void Clear();
    // Sleeps up to ms; true when woken early.
    bool Wait(int ms);

private:
    int m_fd;
};

}  // namespace VEK
