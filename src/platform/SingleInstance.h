#pragma once
#include <functional>
#include <string>
#include <vector>

#include "support/CopyImpossible.h"
#include "support/Thread.h"

namespace VEK {

// One owner per user session for a key: an flock'ed lock file, and a local socket through which
// a later start asks the owner to come to the front. The lock is released when the process ends,
// however it ends. Both live in a folder only the user can write: $XDG_RUNTIME_DIR, else a 0700
// folder below the user's home ($XDG_STATE_HOME/hollowmere), never a shared one such as /tmp.
class CSingleInstance : private CCopyImpossible {
public:
    // ownerNames: the names a holder may store; OwnerName reports no other.
    CSingleInstance(std::string key, std::vector<std::string> ownerNames);
    ~CSingleInstance();

    // True when this process now owns the key. ownerName is stored in the lock file so a
    // turned-away process can say who holds it. False too when the folder or the lock file is
    // not private to the user; Problem then says why.
    bool Acquire(const std::string& ownerName);
    // Why the last Acquire failed other than by another owner; empty otherwise.
    const std::string& Problem() const { return m_problem; }
    // The known name the current owner stored; empty when none can be read.
    std::string OwnerName() const;
    // Asks the owner to come to the front; false when it cannot be reached within the time-out.
    bool NotifyOwner(int timeoutMs) const;
    // Owner only: calls onRaise on a listener thread whenever a later start asks.
    bool Listen(std::function<void()> onRaise);

    const std::string& Folder() const { return m_folder; }
    std::string LockPath() const { return m_folder + "/" + LockName(); }
    std::string SocketPath() const { return m_folder + "/" + m_key + ".sock"; }

private:
    std::string LockName() const { return m_key + ".lock"; }
    // Opens the folder, creating it when it is the one below the home folder, and checks that it
    // is a folder of this user with mode 0700.
    bool OpenFolder();
    void ListenLoop(const std::atomic<bool>& stop, std::function<void()> onRaise);

    std::string m_key;
    std::vector<std::string> m_ownerNames;
    bool m_folderBelowHome = false;  // made by this program, not given by the session
    std::string m_folder;
    std::string m_problem;
    int m_folderFd = -1;
    int m_lockFd = -1;
    int m_listenFd = -1;
    int m_wakeFds[2] = {-1, -1};
    CThread m_listener;
};

}  // namespace VEK
