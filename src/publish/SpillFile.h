#pragma once
// The part of the publish queue that does not fit in memory, or is left at the end: a text file of
// lines "<topic> TAB <payload> CR LF" after a header line that says how far it was delivered. The
// header has a fixed width and is rewritten in place, so delivery never rewrites the lines.
// The file is the user's own: one another user could have written or replaced is never read, and
// a path that was refused is never written.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "support/CopyImpossible.h"

class CSpillFile : private VEK::CCopyImpossible {
public:
    struct TLine {
        std::string topic;  // empty for a line without a tab or longer than kLongestLine
        std::string payload;
        uint64_t bytes = 0;  // the line's size in the file, with its line end
    };
    // Appends the next whole line (FormatLine) to block; false when there is none.
    using TLineSource = std::function<bool(std::string& block)>;

    // Far beyond any record's line; a longer line is read as damaged without being kept.
    static constexpr uint64_t kLongestLine = 64 * 1024;

    explicit CSpillFile(std::string path) : m_path(std::move(path)) {}
    ~CSpillFile();

    const std::string& Path() const { return m_path; }
    // Takes over an existing file: locks it, drops a line cut short by a crash, and counts the lines
    // not yet delivered. True also when there is no file; false with the reason when another process
    // holds it, it is not a spill file, or it is not a regular file of this user that only the user
    // may write (in a folder only the user may write). A refused file is left as it is, for good.
    bool Open(std::string& error);
    // Appends whole lines; creates and locks the file first when needed (never over an existing
    // file or link). On failure the file is as it was.
    bool Append(const TLineSource& next, std::string& error);
    // Lines not yet read by ReadLines.
    uint64_t UnreadLines() const { return m_unreadLines; }
    // Bytes of the lines not yet delivered.
    uint64_t PendingBytes() const { return m_size - m_delivered; }
    // The next lines after those read so far, at most maxLines.
    std::vector<TLine> ReadLines(size_t maxLines);
    // The oldest read line was delivered.
    void Consume(uint64_t bytes);
    // Once every line read was consumed: skips the oldest unread lines until those left take at
    // most keepBytes, and frees the disk space of what was delivered or skipped. Returns the number
    // of lines skipped.
    uint64_t DropOldest(uint64_t keepBytes);
    // Writes how far the lines were delivered into the header; removes the file once all were.
    bool SaveProgress();
    bool IsOpen() const { return m_fd >= 0; }

    static std::string FormatLine(const std::string& topic, const std::string& payload);

private:
    static constexpr size_t kHeaderSize = 42;
    bool Create(std::string& error);
    // Refuses the path for the rest of this object's life.
    bool Refuse(const std::string& error, std::string& out);
    // Takes the file for this process; closes it when another one holds it.
    bool Lock(std::string& error);
    bool WriteHeader();
    void Remove();
    // Counts the complete lines from the read position; cuts off an incomplete last line.
    bool ScanUnread();
    // A buffer for reads from offset from: no larger than the rest of the file, up to a chunk.
    std::vector<char> ReadBuffer(uint64_t from) const;
    static TLine SplitLine(const std::string& text, uint64_t bytes);

    std::string m_path;
    std::string m_refusal;  // why the path is not used
    int m_fd = -1;
    uint64_t m_delivered = 0;  // offset of the oldest line not delivered
    uint64_t m_readPos = 0;    // offset of the next line to read
    uint64_t m_size = 0;
    uint64_t m_unreadLines = 0;
};
