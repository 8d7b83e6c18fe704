#include "files/LineChunks.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

using namespace VEK;

namespace {

// A file in memory that hands out at most a few bytes per read, as a slow device may.
class CMemoryReader : public IReader {
public:
    explicit CMemoryReader(std::string bytes) : m_bytes(std::move(bytes)) {}
    size_t ReadAt(uint64_t offset, char* buffer, size_t size) override {
        if (offset >= m_bytes.size())
            return 0;
        const size_t n = std::min(size, m_bytes.size() - static_cast<size_t>(offset));
        std::memcpy(buffer, m_bytes.data() + offset, n);
        return n;
    }
    uint64_t Size() override { return m_bytes.size(); }
    std::string Path() const override { return "memory.csv"; }

private:
    std::string m_bytes;
};

// Every run ends on a line end (or the file's end), never between CR and LF, and the runs put
// together give the file back; the byte after a run ending without a line end is a LF.
void ExpectRunsCover(const std::string& file, size_t chunkSize) {
    SCOPED_TRACE("chunk " + std::to_string(chunkSize));
    CMemoryReader reader(file);
    CLineChunks chunks(reader, chunkSize);
    std::string joined;
    for (std::string_view run; !(run = chunks.Next()).empty();) {
        const bool last = joined.size() + run.size() == file.size();
        if (!last) {
            EXPECT_TRUE(run.back() == '\n' || run.back() == '\r');
            if (run.back() == '\r') {
                EXPECT_NE(file[joined.size() + run.size()], '\n') << "a CR LF pair was cut";
            }
        } else if (run.back() != '\n' && run.back() != '\r') {
            EXPECT_EQ(run.data()[run.size()], '\n');
        }
        joined += run;
        EXPECT_EQ(chunks.BytesDone(), joined.size());
    }
    EXPECT_EQ(joined, file);
}

}  // namespace

TEST(LineChunksTest, RunsCutOnlyBetweenLines) {
    const std::vector<std::string> files = {
        "",
        "a\r\nbb\r\nccc\r\n",
        "a\rb\nc\r\n\r\nd",                             // CR, LF and CR LF line ends, no end at the end
        "short\r\n" + std::string(100, 'x') + "\r\nz",  // a line longer than the buffer
        std::string(64, '\r') + std::string(64, '\n'),
    };
    for (const std::string& file : files) {
        for (size_t chunk : {1u, 2u, 3u, 7u, 4096u}) ExpectRunsCover(file, chunk);
    }
}
