#pragma once
#include <cstdint>
#include <string>

#include "support/CopyImpossible.h"

namespace VEK {

// The log file as a fixed-size ring: a 14-byte header holding the offset of the next entry as 12
// decimal digits and CR LF, then entry lines, with the end marker "@@" after the newest one.
class CLogRingFile : private CCopyImpossible {
public:
    static constexpr uint64_t kFirstEntry = 14;

    CLogRingFile() = default;
    ~CLogRingFile();

    bool Open(const std::string& path, uint64_t ringBytes);
    void Close();
    bool IsOpen() const { return m_fd >= 0; }
    // Writes one line (without its CR LF) at the current position, followed by the end marker.
    bool WriteLine(const std::string& line);
    uint64_t Position() const { return m_position; }
    // The newest entry's line (without CR LF), the one before the end marker; empty for a fresh
    // file. Read once, right after Open.
    std::string NewestLine() const;

private:
    // A log file removed while open (by the user or a clean-up) is created again, tried with every
    // line until it is.
    bool ReopenIfRemoved();
    bool WriteHeader();

    int m_fd = -1;
    std::string m_path;
    uint64_t m_ringBytes = 0;
    uint64_t m_position = kFirstEntry;
};

}  // namespace VEK
