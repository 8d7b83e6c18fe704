#include "files/LineChunks.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

using namespace VEK;

namespace {

// A file in memory. It notes the largest read asked of it, and may report a size other than its
// own, as a file that grows while it is read does.
class CMemoryReader : public IReader {
public:
    explicit CMemoryReader(std::string bytes, std::optional<uint64_t> reportedSize = std::nullopt)
        : m_bytes(std::move(bytes)), m_reportedSize(reportedSize.value_or(m_bytes.size())) {}
    size_t ReadAt(uint64_t offset, char* buffer, size_t size) override {
        m_largestRead = std::max(m_largestRead, size);
        if (offset >= m_bytes.size())
            return 0;
        const size_t n = std::min(size, m_bytes.size() - static_cast<size_t>(offset));
        std::memcpy(buffer, m_bytes.data() + offset, n);
        return n;
    }
    uint64_t Size() override { return m_reportedSize; }
    std::string Path() const override { return "memory.csv"; }
    size_t LargestRead() const { return m_largestRead; }

private:
    std::string m_bytes;
    uint64_t m_reportedSize;
    size_t m_largestRead = 0;
};

// Every run ends on a line end (or the file's end), never between CR and LF, and the runs put
// together give the file back; the byte after a run ending without a line end is a LF.
void ExpectRunsCover(const std::string& file, size_t chunkSize,
                     std::optional<uint64_t> reportedSize = std::nullopt) {
    SCOPED_TRACE("chunk " + std::to_string(chunkSize));
    CMemoryReader reader(file, reportedSize);
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

// A small file is read with a buffer of its size, not of the chunk size: the loader reads small
// files as cheaply as the fuzzer needs them. A file larger than it said when reading began (it
// grew) is still read to its end, and the buffer grows up to the chunk size.
TEST(LineChunksTest, BufferFitsTheFile) {
    const std::string file = "a\r\nbb\r\nccc\r\n";
    CMemoryReader small(file);
    CLineChunks chunks(small);
    EXPECT_EQ(chunks.Next(), file);
    EXPECT_TRUE(chunks.Next().empty());
    EXPECT_LE(small.LargestRead(), file.size() + 1);

    std::string grown;
    for (int i = 0; i < 1000; ++i) grown += "line " + std::to_string(i) + "\r\n";
    for (uint64_t reported : {0u, 5u, 100u}) {
        SCOPED_TRACE("reported size " + std::to_string(reported));
        ExpectRunsCover(grown, 4096, reported);
        CMemoryReader reader(grown, reported);
        CLineChunks growing(reader, 4096);
        size_t runs = 0;
        while (!growing.Next().empty()) ++runs;
        EXPECT_LE(runs, 30u) << "the buffer did not grow";
        EXPECT_LE(reader.LargestRead(), 4096u);
    }
}
