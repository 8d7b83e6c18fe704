#include <gtest/gtest.h>

#include "support/TextCodec.h"

using namespace VEK;

TEST(TextCodec, Utf8Validity) {
    EXPECT_TRUE(IsValidUtf8("plain"));
    EXPECT_TRUE(IsValidUtf8("温度"));
    EXPECT_FALSE(IsValidUtf8("\x89\xB7\x93\x78"));  // "温度" in CP932
    EXPECT_FALSE(IsValidUtf8("\xC0\xAF"));          // overlong
    EXPECT_FALSE(IsValidUtf8("\xE6\xB8"));          // truncated
    EXPECT_FALSE(IsValidUtf8("\xED\xA0\x80"));      // surrogate
}

TEST(TextCodec, DecodesBomUtf8AndCp932) {
    EXPECT_EQ(DecodeTextBytes("\xEF\xBB\xBFok"), "ok");
    EXPECT_EQ(DecodeTextBytes("\x89\xB7\x93\x78,1"), "温度,1");
    EXPECT_EQ(DecodeTextBytes("\xB1"), "ｱ");                                       // half-width katakana
    EXPECT_EQ(DecodeTextBytes("\xEF\xBB\xBF\x83\x65\x83\x58\x83\x67"), "テスト");  // BOM, then CP932
}

// Half-width katakana in CP932 can be valid UTF-8 by chance: the whole text decides, and a BOM.
TEST(TextCodec, KatakanaPairsThatLookLikeUtf8AreCp932WithoutBom) {
    const struct {
        const char* bytes;
        const char* text;
    } cases[] = {
        {"\xC3\xBD", "ﾃｽ"},                                  // "ý" in UTF-8
        {"name=\xC3\xBD\r\nx=\xC2\xB0", "name=ﾃｽ\r\nx=ﾂｰ"},  // every character outside ASCII such a pair
        {"\xEF\xBB\xBF\xC3\xBD", "ý"},                       // a BOM says UTF-8
        {"\xC3\xBD \xE6\xB8\xA9", "ý 温"},                   // a three-byte character: UTF-8
        {"\xC3\xA0", "à"},                                   // A0 is no katakana code
        {"plain", "plain"},
    };
    for (const auto& c : cases) EXPECT_EQ(DecodeTextBytes(c.bytes), c.text) << c.bytes;
    EXPECT_FALSE(IsCp932Text(""));
    EXPECT_FALSE(IsCp932Text("ascii only"));
    EXPECT_TRUE(IsCp932Text("\x89\xB7"));
}
