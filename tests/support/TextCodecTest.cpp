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
