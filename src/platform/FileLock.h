#pragma once
#include <string>
#include <utility>

#include "support/CopyImpossible.h"

namespace VEK {

// An advisory lock on a file (flock), held from Lock until Release or the object's end, and
// released by the system however the process ends. The process writing a working file holds it,
// so that another process can tell a run in progress from one left behind by a crash.
class CFileLock : private CCopyImpossible {
public:
    CFileLock() = default;
    ~CFileLock();

    // True when this object now holds the lock on the regular file at path; false when another
    // open file (of any process, this one included) holds it or the file cannot be opened.
    bool Lock(const std::string& path);
    // Takes over a descriptor that already holds the lock (CreateNewFile gives one).
    void Adopt(int fd);
    void Release();
    bool Held() const { return m_fd >= 0; }
    // The locked file's descriptor, -1 when none is held.
    int Fd() const { return m_fd; }
    // Hands a lock over without a moment in which nobody holds it.
    void Swap(CFileLock& other) noexcept { std::swap(m_fd, other.m_fd); }

    // True when some process holds the lock on the file; false when nobody does or the file
    // cannot be opened.
    static bool IsLockedElsewhere(const std::string& path);
    // Who holds the lock on the file, as "process 1234 (name)", when the system says; else empty.
    static std::string HolderOf(const std::string& path);

private:
    int m_fd = -1;
};

}  // namespace VEK
