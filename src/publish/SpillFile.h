#pragma once
// The part of the publish queue that does not fit in memory, or is left at the end: a text file of
// lines "<topic> TAB <payload> CR LF" after a header line that says how far it was delivered. The
// header has a fixed width and is rewritten in place, so delivery never rewrites the lines.
#include <cstdint>
#include <string>
#include <vector>

#include "support/CopyImpossible.h"

class CSpillFile : private VEK::CCopyImpossible {
public:
    struct TLine {
        std::string topic;
        std::string payload;
        uint64_t bytes = 0;  // the line's size in the file, with its line end
    };

    explicit CSpillFile(std::string path) : m_path(std::move(path)) {}
    ~CSpillFile();

    const std::string& Path() const { return m_path; }
    // Takes over an existing file: locks it, drops a line cut short by a crash, and counts the lines
    // not yet delivered. True also when there is no file; false with the reason when another process
    // holds it or it is not a spill file.
    bool Open(std::string& error);
    // Appends whole lines; creates and locks the file first when needed. On failure the file is as
    // it was.
    bool Append(const std::vector<TLine>& lines, std::string& error);
    // Lines not yet read by ReadLines.
    uint64_t UnreadLines() const { return m_unreadLines; }
    // The next lines after those read so far, at most maxLines.
    std::vector<TLine> ReadLines(size_t maxLines);
    // The oldest read line was delivered.
    void Consume(uint64_t bytes);
    // Writes how far the lines were delivered into the header; removes the file once all were.
    bool SaveProgress();
    bool IsOpen() const { return m_fd >= 0; }

    static std::string FormatLine(const std::string& topic, const std::string& payload);

private:
    static constexpr size_t kHeaderSize = 42;
    bool Create(std::string& error);
    // Takes the file for this process; closes it when another one holds it.
    bool Lock(std::string& error);
    bool WriteHeader();
    void Remove();
    // Counts the complete lines from the read position; cuts off an incomplete last line.
    bool ScanUnread();

    std::string m_path;
    int m_fd = -1;
    uint64_t m_delivered = 0;  // offset of the oldest line not delivered
    uint64_t m_readPos = 0;    // offset of the next line to read
    uint64_t m_size = 0;
    uint64_t m_unreadLines = 0;
};
