#pragma once
#include <cstdint>
#include <string_view>
#include <vector>

#include "files/IReader.h"

namespace VEK {

// Hands out a file as runs of whole lines, a few megabytes at a time, so that a file of any size
// is read with a small buffer. The buffer is no larger than the file needs: a small file costs a
// small buffer. A run never cuts a line or a CR LF pair; a line longer than the buffer grows it.
class CLineChunks {
public:
    static constexpr size_t kDefaultChunkSize = size_t{4} << 20;

    // chunkSize: the most bytes read at once (at least 1), unless a line is longer.
    explicit CLineChunks(IReader& reader, size_t chunkSize = kDefaultChunkSize);

    // The next run of lines (the file's last line may lack its line end); empty at the end of the
    // file. Valid until the next call. The byte after the run may be read: when the run does not
    // end with a line end, it is a LF, so a scan for a line end always stops within the buffer.
    // Throws CReadFailureException and std::bad_alloc.
    std::string_view Next();
    // Bytes handed out so far.
    uint64_t BytesDone() const { return m_done; }
    // The buffer never grows past this for a long line: Next then ends early (empty) and
    // LineTooLong says so. A line up to the chunk size may still come whole.
    void SetLongestLine(size_t bytes) { m_longestLine = bytes; }
    bool LineTooLong() const { return m_tooLong; }

private:
    // One past the last line end of the bytes read, not counting a CR that may be half of a CR LF
    // pair; 0 when there is none.
    size_t CutAfterLastLine() const;

    // Room for the next read: the file's size when the buffer is first needed, up to the chunk size;
    // doubled, up to the chunk size, while the file goes on (it grew since).
    void MakeRoom();

    IReader& m_reader;
    const size_t m_chunkSize;
    // One byte more than it is filled with at the most, for the LF after the file.
    std::vector<char> m_buffer;
    size_t m_filled = 0;  // bytes in the buffer
    size_t m_cut = 0;     // bytes handed out by the last call
    uint64_t m_offset = 0;
    uint64_t m_done = 0;
    bool m_end = false;
    size_t m_longestLine = SIZE_MAX;
    bool m_tooLong = false;
};

}  // namespace VEK
