#pragma once
#include <functional>
#include <string>

#include "support/CopyImpossible.h"
#include "support/Thread.h"

namespace VEK {

// One owner per user session for a key: an flock'ed lock file, and a local socket through which
// a later start asks the owner to come to the front. The lock is released when the process ends,
// however it ends.
class CSingleInstance : private CCopyImpossible {
public:
    explicit CSingleInstance(std::string key);
    ~CSingleInstance();

    // True when this process now owns the key. ownerName is stored in the lock file so a
    // turned-away process can say who holds it.
    bool Acquire(const std::string& ownerName);
    // The name the current owner stored; empty when none can be read.
    std::string OwnerName() const;
    // Asks the owner to come to the front; false when it cannot be reached within the time-out.
    bool NotifyOwner(int timeoutMs) const;
    // Owner only: calls onRaise on a listener thread whenever a later start asks.
    bool Listen(std::function<void()> onRaise);

    std::string LockPath() const { return m_folder + "/" + m_key + ".lock"; }
    std::string SocketPath() const { return m_folder + "/" + m_key + ".sock"; }

private:
    void ListenLoop(const std::atomic<bool>& stop, std::function<void()> onRaise);

    std::string m_key;
    std::string m_folder;
    int m_lockFd = -1;
    int m_listenFd = -1;
    int m_wakeFds[2] = {-1, -1};
    CThread m_listener;
};

}  // namespace VEK
