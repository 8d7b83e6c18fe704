#include <gtest/gtest.h>

#include "files/InifileAccessor.h"
#include "files/SetupFile.h"
#include "platform/Folders.h"
#include "support/TestHome.h"

using namespace VEK;
using testing_support::ReadFile;
using testing_support::WriteFile;

namespace {

class SetupFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        testing_support::ResetTestHome();
        path = testing_support::TestHome() + "/setup/x.set";
        WriteFile(testing_support::TestHome() + "/setup/other", "");
        WriteFile(definePath, "[parameter]\r\ncmd-timeout=700\r\n");
    }
    // What the current installation has: system number 3, nothing else set.
    static TParameterSet Current() {
        TParameterSet set;
        set.systemNumber = 3;
        return set;
    }
    static TParameterSet Exported() {
        TParameterSet set;
        set.systemNumber = 7;
        set.polling.SetRateCode(8);
        for (int channel = 1; channel <= kChannelCount; ++channel) {
            set.polling.SetInUse(channel, channel % 3 == 0);
            set.thermocoupleType[channel] = 1 + channel % 3;
        }
        set.comment[1] = "inlet";
        set.comment[2] = "炉";
        set.comment[100] = std::string(300, 'c');
        set.visibleItemsSingle = 15;
        set.visibleItemsOnly = 0;
        set.temperatureUnit = 1;
        return set;
    }
    bool Read(TParameterSet& set, TGraphScaleSettings& scales) {
        return ReadSetupFile(path, AccessorSection(&define, "parameter"), set, scales);
    }

    std::string path;
    std::string definePath = testing_support::TestHome() + "/define.ini";
    CInifileAccessor define{definePath};
};

// Writes refused one and all, as a disk that takes nothing more would.
class CRefusingAccessor : public CInifileAccessor {
public:
    using CInifileAccessor::CInifileAccessor;
    bool Write(const std::string&, const std::string&, const AccessorValue&) override { return false; }
};

TEST_F(SetupFileTest, RoundTripKeepsTheSystemNumberAndGivesTheDefaultRate) {
    const TGraphScaleSettings scales{"1min", "20deg F", -30};
    ASSERT_TRUE(WriteSetupFile(path, Exported(), scales));
    EXPECT_NE(ReadFile(path).find("system-no=7\r\n"), std::string::npos);
    EXPECT_EQ(ReadFile(path).find("sample-intvl"), std::string::npos);

    TParameterSet set = Current();
    TGraphScaleSettings read;
    ASSERT_TRUE(Read(set, read));
    const TParameterSet exported = Exported();
    EXPECT_EQ(set.systemNumber, 3u);
    EXPECT_EQ(set.polling.RateCode(), 4);  // a setup file carries no rate: "1sec"
    for (int channel = 1; channel <= kChannelCount; ++channel) {
        EXPECT_EQ(set.polling.InUse(channel), exported.polling.InUse(channel)) << channel;
        EXPECT_EQ(set.thermocoupleType[channel], exported.thermocoupleType[channel]) << channel;
        EXPECT_EQ(set.comment[channel], exported.comment[channel]) << channel;
    }
    EXPECT_EQ(set.visibleItemsSingle, 15);
    EXPECT_EQ(set.visibleItemsOnly, 0);
    EXPECT_EQ(set.temperatureUnit, 1u);
    EXPECT_EQ(set.commandTimeoutMs, 700u);  // from define.ini
    EXPECT_EQ(read, scales);
}

TEST_F(SetupFileTest, FileIsReplacedOnceAndNotAtAllWhenNothingChanged) {
    const uint64_t before = FolderSyncCount();
    ASSERT_TRUE(WriteSetupFile(path, Exported(), {}));
    EXPECT_EQ(FolderSyncCount(), before + 1);
    ASSERT_TRUE(WriteSetupFile(path, Exported(), {}));
    EXPECT_EQ(FolderSyncCount(), before + 1);
}

TEST_F(SetupFileTest, OtherKeysAndSectionsStay) {
    WriteFile(path, "[head]\r\nnote=kept\r\n[User]\r\nextra=1\r\nsystem-no=9\r\n");
    ASSERT_TRUE(WriteSetupFile(path, Exported(), {}));
    const std::string text = ReadFile(path);
    EXPECT_EQ(text.rfind("[head]\r\nnote=kept\r\n[User]\r\nextra=1\r\nsystem-no=7\r\n", 0), 0u) << text;
    EXPECT_EQ(text.find("[user]"), std::string::npos);
}

TEST_F(SetupFileTest, SectionNamedWithCapitalsAndEmptySectionGiveTheDefaults) {
    for (const char* text : {"[User]\r\n", "[user]\r\n", "[USER]\r\nsystem-no=7\r\n"}) {
        WriteFile(path, text);
        TParameterSet set = Exported();
        set.systemNumber = 3;
        TGraphScaleSettings scales{"1min", "20", 0};
        ASSERT_TRUE(Read(set, scales)) << text;
        EXPECT_EQ(set.systemNumber, 3u);
        for (int channel = 1; channel <= kChannelCount; ++channel) {
            EXPECT_EQ(set.polling.InUse(channel), channel <= 10) << channel;
            EXPECT_EQ(set.thermocoupleType[channel], 1) << channel;
            EXPECT_EQ(set.comment[channel], "") << channel;
        }
        EXPECT_EQ(scales, TGraphScaleSettings{});
    }
}

TEST_F(SetupFileTest, MissingFileOrNoUserSectionChangesNothing) {
    for (const char* text : {static_cast<const char*>(nullptr), "", "[parameter]\r\nsystem-no=7\r\n"}) {
        std::remove(path.c_str());
        if (text != nullptr)
            WriteFile(path, text);
        TParameterSet set = Exported();
        TGraphScaleSettings scales{"1min", "20", 0};
        EXPECT_FALSE(Read(set, scales));
        EXPECT_EQ(set.polling, Exported().polling);
        EXPECT_EQ(set.comment, Exported().comment);
        EXPECT_EQ(scales, (TGraphScaleSettings{"1min", "20", 0}));
    }
}

// An existing setup file lists "user" whatever happens to the writes: only their results tell.
TEST_F(SetupFileTest, RefusedWritesFailEvenOnAFileListingUser) {
    WriteFile(path, "[user]\r\nsystem-no=1\r\n");
    CRefusingAccessor file(path);
    EXPECT_FALSE(WriteSetupFile(file, Exported(), {}));
    CInifileAccessor intact(path);
    EXPECT_TRUE(WriteSetupFile(intact, Exported(), {}));
}

}  // namespace
