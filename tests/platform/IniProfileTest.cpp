#include <gtest/gtest.h>

#include "platform/IniProfile.h"
#include "support/TestHome.h"

using namespace VEK;
using testing_support::ReadFile;
using testing_support::WriteFile;

namespace {

class IniProfileTest : public ::testing::Test {
protected:
    std::string path = testing_support::TestHome() + "/ini/test.ini";
    CIniProfile ini{path};
    void SetUp() override {
        testing_support::WriteFile(path, "");  // creates the folder
        std::remove(path.c_str());
    }
};

}  // namespace

TEST_F(IniProfileTest, ReadsLikeThePrivateProfileFunctions) {
    WriteFile(path,
              "\xEF\xBB\xBF; comment\r\n"
              "[User]\r\n"
              "  Key1 =  spaced value  \r\n"
              "quoted=\"  inside  \"\r\n"
              "half=\"open\r\n"
              "empty=\r\n"
              "dup=first\r\n"
              "DUP=second\r\n"
              "novalue line\r\n"
              "[broken\r\n"
              "b=1\n"
              "[user]\n"
              "late=ignored\n"
              "[other]\r"
              "k=cr only\r");
    struct {
        const char* section;
        const char* key;
        std::optional<std::string> value;
    } cases[] = {
        {"user", "key1", "spaced value"},
        {"USER", "Quoted", "  inside  "},
        {"user", "half", "\"open"},
        {"user", "empty", ""},
        {"user", "dup", "first"},        // the first of duplicate keys wins
        {"user", "late", std::nullopt},  // a repeated section is not read
        {"user", "missing", std::nullopt},
        {"broken", "b", "1"},  // a header without "]" still opens its section
        {"other", "k", "cr only"},
        {"nosuch", "k", std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ini.ReadValue(c.section, c.key), c.value) << c.section << "/" << c.key;
    EXPECT_EQ(CIniProfile(path + ".missing").ReadValue("user", "key1"), std::nullopt);
}

TEST_F(IniProfileTest, WritesInPlaceKeepingCommentsAndOrder) {
    WriteFile(path, "; keep me\r\n[a]\r\nx=1\r\nunknown=7\r\n\r\n[b]\r\ny=2\r\n");
    EXPECT_TRUE(ini.WriteValue("A", "X", "10"));
    EXPECT_TRUE(ini.WriteValue("a", "new", "n"));
    EXPECT_TRUE(ini.WriteValue("c", "z", "3"));
    EXPECT_EQ(ReadFile(path),
              "; keep me\r\n[a]\r\nX=10\r\nunknown=7\r\nnew=n\r\n\r\n[b]\r\ny=2\r\n[c]\r\nz=3\r\n");
    EXPECT_TRUE(ini.DeleteKey("a", "unknown"));
    EXPECT_EQ(ini.ReadValue("a", "unknown"), std::nullopt);
    EXPECT_TRUE(ini.DeleteKey("a", "unknown"));  // already absent
}

TEST_F(IniProfileTest, UnchangedValueLeavesFileUntouchedAndCrLfIsRefused) {
    WriteFile(path, "[a]\nx=1\n");  // LF only: a rewrite would turn it into CR LF
    EXPECT_TRUE(ini.WriteValue("a", "x", "1"));
    EXPECT_EQ(ReadFile(path), "[a]\nx=1\n");
    EXPECT_FALSE(ini.WriteValue("a", "x", "two\r\nlines"));
    EXPECT_FALSE(ini.WriteValue("a", "k=v", "1"));
    EXPECT_FALSE(ini.WriteValue("a]", "k", "1"));
    EXPECT_EQ(ReadFile(path), "[a]\nx=1\n");
}

// Every value that can be stored reads back as written, from the file too: blanks at the ends and
// outer double quotes, which reading takes off, are kept inside quotes.
TEST_F(IniProfileTest, ValuesReadBackAsWritten) {
    const struct {
        std::string value;
        std::string line;
    } cases[] = {
        {"plain", "k=plain"},
        {"", "k="},
        {" spaced ", "k=\" spaced \""},
        {"\tx", "k=\"\tx\""},
        {"\"quoted\"", "k=\"\"quoted\"\""},
        {"\"", "k=\""},
        {"\"half", "k=\"half"},
        {"ON,K,\"comment\"", "k=ON,K,\"comment\""},
        {"  ", "k=\"  \""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        std::remove(path.c_str());
        ASSERT_TRUE(ini.WriteValue("s", "k", c.value));
        EXPECT_EQ(ini.ReadValue("s", "k"), c.value);
        EXPECT_EQ(CIniProfile(path).ReadValue("s", "k"), c.value);
        EXPECT_EQ(ReadFile(path), "[s]\r\n" + c.line + "\r\n");
        // Written again: unchanged, the file stays.
        ASSERT_TRUE(ini.WriteValue("s", "k", c.value));
        EXPECT_EQ(ReadFile(path), "[s]\r\n" + c.line + "\r\n");
    }
}

// A file saved with a second byte order mark reads its first section all the same, and written
// back it keeps neither mark: reading and rewriting agree on what the file holds.
TEST_F(IniProfileTest, ExtraByteOrderMarksAreDropped) {
    WriteFile(path, "\xEF\xBB\xBF\xEF\xBB\xBF[a]\r\nk=v\r\n");
    EXPECT_EQ(ini.ReadValue("a", "k"), "v");
    EXPECT_TRUE(ini.WriteValue("a", "n", "1"));
    EXPECT_EQ(ReadFile(path), "[a]\r\nk=v\r\nn=1\r\n");
}

// A profile of one version of the file, read once, reads that version only, though the file
// changes after; a write replaces the file with that version and the change. One whose version
// could not be read reads as empty and refuses writes, saying why.
TEST_F(IniProfileTest, SnapshotReadsOneVersionOfTheFile) {
    WriteFile(path, "[a]\r\nx=1\r\ny=2\r\n");
    CIniProfile snapshot(path, ReadRegularFile(path, CIniProfile::kMaxBytes));
    WriteFile(path, "[a]\r\nx=changed\r\n");
    EXPECT_EQ(snapshot.ReadValue("a", "x"), "1");
    EXPECT_EQ(snapshot.KeyNames("a"), (std::vector<std::string>{"x", "y"}));
    EXPECT_TRUE(snapshot.WriteValue("a", "z", "3"));
    EXPECT_EQ(ReadFile(path), "[a]\r\nx=1\r\ny=2\r\nz=3\r\n");
    EXPECT_EQ(snapshot.ReadValue("a", "z"), "3");

    TFileRead failed;
    failed.result = TFileRead::EResult::kFailed;
    failed.problem = "is not a regular file";
    CIniProfile unreadable(path, failed);
    EXPECT_EQ(unreadable.ReadValue("a", "x"), std::nullopt);
    EXPECT_TRUE(unreadable.SectionNames().empty());
    EXPECT_FALSE(unreadable.WriteValue("a", "x", "2"));
    EXPECT_EQ(unreadable.Problem(), "is not a regular file");
    EXPECT_EQ(ReadFile(path), "[a]\r\nx=1\r\ny=2\r\nz=3\r\n");
}

TEST_F(IniProfileTest, CreatesFileAndFailsInMissingFolder) {
    EXPECT_TRUE(ini.WriteValue("s", "k", "v"));
    EXPECT_EQ(ReadFile(path), "[s]\r\nk=v\r\n");
    EXPECT_FALSE(CIniProfile(testing_support::TestHome() + "/no/such/dir/x.ini").WriteValue("s", "k", "v"));
}

TEST_F(IniProfileTest, ListsAndDeletesSections) {
    WriteFile(path, "[user]\r\na=1\r\nA=2\r\nb=3\r\n[user2]\r\nc=1\r\n[other]\r\nd=1\r\n[USER]\r\n");
    EXPECT_EQ(ini.SectionNames(), (std::vector<std::string>{"user", "user2", "other"}));
    EXPECT_EQ(ini.KeyNames("User"), (std::vector<std::string>{"a", "b"}));
    EXPECT_TRUE(ini.DeleteSections("USER"));
    EXPECT_EQ(ReadFile(path), "[other]\r\nd=1\r\n");
}

TEST_F(IniProfileTest, Cp932FileReadsAsUtf8) {
    WriteFile(path, "[user]\r\nchpt1=ON,K,\"\x89\xB7\x93\x78\"\r\n");
    EXPECT_EQ(ini.ReadValue("user", "chpt1"), std::optional<std::string>("ON,K,\"温度\""));
}
