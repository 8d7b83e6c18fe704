#include <gtest/gtest.h>

#include "files/AccessorSection.h"
#include "files/FolderMemory.h"
#include "files/InifileAccessor.h"
#include "files/Settings.h"
#include "platform/Folders.h"
#include "support/TestHome.h"
#include "support/VekException.h"

using namespace VEK;
using testing_support::ReadFile;
using testing_support::WriteFile;

TEST(Accessor, TypedValuesAndKinds) {
    std::string path = testing_support::TestHome() + "/acc/a.ini";
    WriteFile(path, "[s]\r\nstar=*1\r\nempty=\r\nnum=12abc\r\nneg=-5\r\nbig=4294967295\r\n");
    CInifileAccessor accessor(path);
    AccessorSection s(&accessor, "s");
    EXPECT_EQ(accessor.TypeName(), "Inifile");
    EXPECT_EQ(s.GetString("star", "d"), "*1");
    EXPECT_EQ(s.GetString("empty", "d"), "");
    EXPECT_EQ(s.GetString("absent", "d"), "d");
    EXPECT_EQ(s.GetInteger("empty", 7), 7);
    EXPECT_EQ(s.GetInteger("num", 0), 12);
    EXPECT_EQ(s.GetInteger("neg", 0), -5);
    EXPECT_EQ(s.GetInteger("big", 0), -1);
    EXPECT_EQ(accessor.KindOf("s", "empty"), 's');
    EXPECT_EQ(accessor.KindOf("s", "absent"), 'n');

    EXPECT_TRUE(s.SetInteger("minus", -1));
    EXPECT_EQ(s.GetString("minus", ""), "4294967295");
    EXPECT_EQ(s.GetInteger("minus", 0), -1);
    EXPECT_TRUE(s.SetBinary("bin", {0x00, 0xAB, 0x10}));
    EXPECT_EQ(s.GetString("bin", ""), "00AB10");
    EXPECT_TRUE(s.Delete("bin"));
    EXPECT_EQ(accessor.KindOf("s", "bin"), 'n');
}

TEST(Accessor, SectionWithoutAccessorIsAProgrammingError) {
    AccessorSection s(nullptr, "user");
    EXPECT_THROW(s.GetString("k", ""), CNullPointerException);
    try {
        s.SetInteger("k", 1);
    } catch (const CVekException& e) {
        EXPECT_STREQ(e.what(), "NULLポインタです。");
    }
}

TEST(Accessor, LogAndFolderPathsComeFromTheSettings) {
    std::string docs = DocumentsFolder();
    std::remove((SetupFolder() + "/define.ini").c_str());
    EXPECT_EQ(LogFilePath(), docs + "/Quillmark/Brisquent/Log/Hollowmere.log");
    EXPECT_TRUE(testing_support::FileExists(docs + "/Quillmark/Brisquent/Log"));
    CreateSettingsFolders();
    DefineSection("folder").SetString("log", ".\\x\\..\\y");
    EXPECT_EQ(LogFilePath(), docs + "/y/Hollowmere.log");
    std::string absolute = testing_support::TestHome() + "/abslog";
    DefineSection("folder").SetString("log", absolute);
    EXPECT_EQ(LogFilePath(), absolute + "/Hollowmere.log");
    std::remove((SetupFolder() + "/define.ini").c_str());
}

TEST(Accessor, FolderMemoryStoresRelativeFoldersAndReadsWindowsOnes) {
    CreateSettingsFolders();
    std::string docs = DocumentsFolder();
    EXPECT_EQ(LoadLastFolder("data"), docs + "/Quillmark/Brisquent/Data");
    EXPECT_TRUE(SaveLastFolder("data", docs + "/runs/2026/a.csv"));
    EXPECT_EQ(LastOneSection("folder").GetString("data", ""), "./runs/2026/");
    EXPECT_EQ(LoadLastFolder("data"), docs + "/runs/2026");
    EXPECT_TRUE(SaveLastFolder("setup", "/elsewhere/s.set"));
    EXPECT_EQ(LoadLastFolder("setup"), "/elsewhere");
    LastOneSection("folder").SetString("adjustoffset", ".\\Quillmark\\Brisquent\\Offsets\\");
    EXPECT_EQ(LoadLastFolder("adjustoffset"), docs + "/Quillmark/Brisquent/Offsets");
}
