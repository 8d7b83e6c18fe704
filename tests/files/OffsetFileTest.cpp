#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "files/OffsetFile.h"
#include "platform/Folders.h"
#include "support/TestHome.h"

using namespace VEK;
using testing_support::ReadFile;
using testing_support::WriteFile;

namespace {

constexpr double kUnanswered = std::numeric_limits<double>::infinity();

// In a folder that exists.
std::string Path(const std::string& name) {
    const std::string folder = testing_support::TestHome() + "/offset";
    CreateFolderWithParents(folder);
    return folder + "/" + name;
}

// An offset file with the header, a comment line and the given channel lines.
std::string FileText(const std::string& channelLines, const std::string& comment = "COMMENT,") {
    return "Brisquent Offset Data,1.00\r\n" + comment + "\r\n" + channelLines;
}

bool LoadText(TOffsetTable& table, const std::string& bytes) {
    const std::string path = Path("read.csv");
    WriteFile(path, bytes);
    return LoadOffsetFile(table, path);
}

// A table that a failed read must leave as it is.
TOffsetTable Filled() {
    TOffsetTable table;
    table.path = "/elsewhere/old.csv";
    table.comment = "old";
    table.modified = true;
    table.entries[7] = {true, true, 42};
    return table;
}

void ExpectSame(const TOffsetTable& a, const TOffsetTable& b) {
    EXPECT_EQ(a.path, b.path);
    EXPECT_EQ(a.comment, b.comment);
    EXPECT_EQ(a.modified, b.modified);
    for (int channel = 1; channel <= TOffsetTable::kChannels; ++channel) {
        EXPECT_EQ(a.entries[channel].inUse, b.entries[channel].inUse) << channel;
        EXPECT_EQ(a.entries[channel].hasData, b.entries[channel].hasData) << channel;
        EXPECT_EQ(a.entries[channel].offset, b.entries[channel].offset) << channel;
    }
}

TEST(OffsetFile, CountsRoundTripExactly) {
    // Twelve digits of millivolts and rounding on reading give back every 24-bit count.
    const double counts[] = {0, 1, -1, 3, -3, 12345, -12345, 8388607, -8388608, 4194305, -7654321};
    TOffsetTable table;
    for (size_t i = 0; i < std::size(counts); ++i) table.entries[i + 1] = {true, true, counts[i]};
    const std::string path = Path("round.csv");
    ASSERT_TRUE(SaveOffsetFile(table, path));
    TOffsetTable read;
    ASSERT_TRUE(LoadOffsetFile(read, path));
    for (size_t i = 0; i < std::size(counts); ++i) {
        EXPECT_EQ(read.entries[i + 1].offset, counts[i]) << ReadFile(path);
        EXPECT_TRUE(read.entries[i + 1].Applied());
    }
}

TEST(OffsetFile, WrittenBytesEqualTheFixture) {
    TOffsetTable table;
    table.comment = "furnace 炉, north wall";
    table.modified = true;
    table.entries[1] = {true, true, 12345};
    table.entries[2] = {false, true, -1};          // not in use, with data
    table.entries[3] = {true, true, kUnanswered};  // "E": written without a value
    table.entries[100] = {true, true, 0};
    const std::string path = Path("written.csv");
    ASSERT_TRUE(SaveOffsetFile(table, path));
    EXPECT_EQ(ReadFile(path), ReadFile(HOLLOWMERE_SOURCE_DIR "/tests/files/fixtures/offset-written.csv"));
    EXPECT_EQ(table.path, path);
    EXPECT_FALSE(table.modified);
    EXPECT_EQ(AdjustedChannelList(table), (std::vector<uint32_t>{1, 100}));
}

TEST(OffsetFile, FormatsMillivoltsWithThreeExponentDigits) {
    EXPECT_EQ(FormatOffsetMillivolts(0.00123 * 131072), "1.23000000000e-003");
    EXPECT_EQ(FormatOffsetMillivolts(131072), "1.00000000000e+000");
    EXPECT_EQ(FormatOffsetMillivolts(-65536), "-5.00000000000e-001");
}

TEST(OffsetFile, ReadsEntriesAsWritten) {
    struct TCase {
        const char* line;
        int channel;
        TOffsetEntry expected;
    };
    const TCase cases[] = {
        {"1,Use,1.0", 1, {true, true, 131072}},
        {"2,NoUse,5.00000000000e-001", 2, {false, true, 65536}},
        {"3,Use,", 3, {true, false, 0}},  // an unanswered request comes back as no data
        {"4,Unused", 4, {true, false, 0}},
        {"5,use,1", 5, {false, true, 131072}},
        {" 6,NoUse,-7.62939453125e-006", 6, {false, true, -1}},
        {"7,Use,1.23000000000e-003", 7, {true, true, std::round(0.00123 * 131072)}},
    };
    for (const TCase& c : cases) {
        TOffsetTable table = Filled();
        ASSERT_TRUE(LoadText(table, FileText(std::string(c.line) + "\r\n"))) << c.line;
        const TOffsetEntry& entry = table.entries[c.channel];
        EXPECT_EQ(entry.inUse, c.expected.inUse) << c.line;
        EXPECT_EQ(entry.hasData, c.expected.hasData) << c.line;
        EXPECT_EQ(entry.offset, c.expected.offset) << c.line;
        // Everything the file does not name is cleared, also what the table held before.
        EXPECT_FALSE(table.entries[c.channel == 7 ? 8 : 7].hasData) << c.line;
        EXPECT_EQ(table.path, Path("read.csv"));
        EXPECT_FALSE(table.modified);
    }
}

TEST(OffsetFile, SkipsChannelsOutsideTheRangeAndTakesTheLaterLine) {
    TOffsetTable table;
    ASSERT_TRUE(
        LoadText(table, FileText("0,Use,1\r\n101,Use,1\r\n,Use,1\r\nx,Use,1\r\n9,Use,1\r\n9,NoUse,2\n\r\n")));
    for (int channel = 1; channel <= TOffsetTable::kChannels; ++channel)
        if (channel != 9) {
            EXPECT_FALSE(table.entries[channel].hasData || table.entries[channel].inUse) << channel;
        }
    EXPECT_FALSE(table.entries[9].inUse);
    EXPECT_EQ(table.entries[9].offset, 2 * 131072.0);
}

TEST(OffsetFile, RefusesWhatIsNoOffsetFileAndKeepsTheTable) {
    const std::string refused[] = {
        "brisquent offset data,1.00\r\nCOMMENT,\r\n1,Use,1\r\n",
        "Brisquent Offset Data1.00\r\n",
        "",
        FileText("1,Use,abc\r\n"),
        FileText("1,Use,nan\r\n"),
        FileText("1,Use,inf\r\n"),
        FileText("1,Use,1e9\r\n"),
        FileText("1,Use,64.0\r\n"),  // 2^23 counts: one beyond the converter
        FileText("1,Use,1.0mV\r\n"),
    };
    for (const std::string& bytes : refused) {
        TOffsetTable table = Filled();
        EXPECT_FALSE(LoadText(table, bytes)) << bytes;
        ExpectSame(table, Filled());
    }
    TOffsetTable table = Filled();
    EXPECT_FALSE(LoadOffsetFile(table, Path("missing.csv")));
    ExpectSame(table, Filled());
}

TEST(OffsetFile, CommentIsTheWholeRestOfItsLine) {
    TOffsetTable table;
    ASSERT_TRUE(LoadText(table, FileText("", "COMMENT,furnace, north wall,3")));
    EXPECT_EQ(table.comment, "furnace, north wall,3");
    // A Windows installation's file: CP932, with a BOM-less header.
    ASSERT_TRUE(LoadText(table, FileText("1,Use,1\r\n", "COMMENT,\x89\xB7\x93\x78")));
    EXPECT_EQ(table.comment, "温度");
    EXPECT_EQ(table.entries[1].offset, 131072);
    // UTF-8 with a BOM.
    ASSERT_TRUE(LoadText(table, "\xEF\xBB\xBF" + FileText("", "COMMENT,炉")));
    EXPECT_EQ(table.comment, "炉");
}

TEST(OffsetFile, LineBreaksInTheCommentBecomeBlanks) {
    TOffsetTable table;
    table.comment = "a\r\nb\nc";
    const std::string path = Path("breaks.csv");
    ASSERT_TRUE(SaveOffsetFile(table, path));
    TOffsetTable read;
    ASSERT_TRUE(LoadOffsetFile(read, path));
    EXPECT_EQ(read.comment, "a  b c");
    EXPECT_FALSE(read.entries[1].inUse);
}

TEST(OffsetFile, FailedSaveLeavesTheTable) {
    TOffsetTable table = Filled();
    EXPECT_FALSE(SaveOffsetFile(table, Path("no/such/folder/x.csv")));
    ExpectSame(table, Filled());
}

TEST(OffsetTable, OnlyEntriesInUseWithAFiniteOffsetAreApplied) {
    TOffsetTable table;
    table.entries[2] = {true, true, 10.7};
    table.entries[3] = {false, true, 5};
    table.entries[4] = {true, true, kUnanswered};
    table.entries[5] = {true, false, 0};
    table.entries[99] = {true, true, -3};
    EXPECT_EQ(AdjustedChannelList(table), (std::vector<uint32_t>{2, 99}));
    const TChannelOffsets offsets = ChannelOffsets(table);
    EXPECT_EQ(offsets[2], 10.7);
    EXPECT_EQ(offsets[99], -3);
    for (int channel : {0, 1, 3, 4, 5, 100}) EXPECT_FALSE(std::isfinite(offsets[channel])) << channel;
}

}  // namespace
