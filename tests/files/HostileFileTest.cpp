// Files another program or user put where the application reads: each is refused, or read within
// bounded memory, with a message; and a settings file that cannot be read is never overwritten.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <functional>

#include "files/DataFile.h"
#include "files/DeviceSettings.h"
#include "files/InifileAccessor.h"
#include "files/ParameterSet.h"
#include "files/Settings.h"
#include "platform/Folders.h"
#include "support/AppProcess.h"
#include "support/OtherUser.h"
#include "support/StagedProgram.h"
#include "support/TestHome.h"

using namespace VEK;
using testing_support::ReadFile;
using testing_support::TestHome;
using testing_support::WriteFile;

namespace {

const std::string kDefine =
    "[parameter]\r\nhid-vid=0x04D8\r\nhid-pid=0x0006\r\nrec-max=100\r\nchc1=FF0000\r\n";

std::string DataHeader(const std::string& dataCount) {
    std::string onOff = ",,ON/OFF";
    for (int k = 1; k <= 100; ++k) onOff += ",ON";
    return "Brisquent,1.01\r\nSYSTEM NUMBER,7\r\nSAMPLING RATE,1sec\r\nTEMPERATURE UNIT,deg C\r\n"
           "TIME/DIV,10sec\r\nTEMP/DIV,10deg C\r\nDATA COUNT," +
           dataCount + "\r\nTIME OFFSET,00:00:05,00\r\nTEMP OFFSET,50\r\n,,TYPE\r\n" + onOff +
           "\r\n,,ADJUST OFFSET\r\nNo.,DATE  TIME,msec\r\nUSER COMMENT,,\r\n";
}

std::string FullRow(int number) {
    std::string row = std::to_string(number) + ",2024/05/06 07:08:09,0";
    for (int k = 1; k <= 100; ++k) row += ",21.5";
    return row + "\r\n";
}

// The line the process's log receives, once its writer has got to it.
bool LogShows(const std::string& text) {
    for (int i = 0; i < 500; ++i) {
        if (ReadFile(LogFilePath()).find(text) != std::string::npos)
            return true;
        usleep(10000);
    }
    return false;
}

struct THostileFile {
    const char* name;
    std::function<void(const std::string& path)> make;
    std::function<void(const std::string& path)> check;
};

void PrintTo(const THostileFile& c, std::ostream* out) {
    *out << c.name;
}

class HostileFileTest : public ::testing::TestWithParam<THostileFile> {};

// A settings file the accessor refuses: nothing read, nothing written, the reason given.
void ExpectRefusedSettings(const std::string& path, const std::string& problem) {
    CInifileAccessor accessor(path);
    const TDeviceSettings device = TDeviceSettings::Read(AccessorSection(&accessor, "parameter"));
    EXPECT_EQ(device.vendorText, TDeviceSettings::kDefaultVendorId);
    EXPECT_EQ(accessor.Problem(), problem);
    EXPECT_FALSE(AccessorSection(&accessor, "parameter").SetInteger("is-meas-span", 1));
    EXPECT_TRUE(LogShows("設定ファイル[" + path + "]を読み込めません: " + problem));
}

// Data files load through the application's loader into a store that held a run before.
void ExpectLoad(const std::string& path, bool loads,
                const std::function<void(const CMeasurementDataManager&, const TDataFileView&)>& check) {
    CMeasurementDataManager store;
    TDataFileView view;
    ASSERT_EQ(LoadDataFile(path, store, view, TMeasurementSetup{}), loads) << view.problem;
    check(store, view);
}

}  // namespace

TEST_P(HostileFileTest, RefusedOrReadWithinBounds) {
    const std::string folder = TestHome() + "/hostile";
    std::filesystem::remove_all(folder);
    ASSERT_TRUE(CreateFolderWithParents(folder));
    const std::string path = folder + "/file";
    GetParam().make(path);
    GetParam().check(path);
}

INSTANTIATE_TEST_SUITE_P(
    Files, HostileFileTest,
    ::testing::Values(
        THostileFile{"EmptyLinesBetweenHeaderAndOneRow",
                     [](const std::string& path) {
                         std::ofstream(path, std::ios::binary)
                             << DataHeader("1") << std::string(2'000'000, '\n') << FullRow(1);
                     },
                     [](const std::string& path) {
                         ExpectLoad(path, true,
                                    [](const CMeasurementDataManager& store, const TDataFileView& view) {
                                        EXPECT_EQ(store.RecordCount(), 1u);
                                        EXPECT_EQ(view.skippedLines, 2'000'000u);
                                        for (int k = 1; k <= 100; ++k)
                                            EXPECT_EQ(store.Channel(k).ReadingCount(), 1u) << k;
                                    });
                         EXPECT_TRUE(LogShows("の記録でない 2000000 行を読み飛ばしました。"));
                     }},
        // Four-byte lines that claim to be rows, then one whole row: each would cost a reading of
        // every channel (gigabytes in memory, and in a data file written from it). Refused at the
        // first row beyond what a file of this size can hold, before anything grows.
        THostileFile{
            "ShortRowsThenOneFullRowOfAHundredChannels",
            [](const std::string& path) {
                std::string rows;
                rows.reserve(8'000'000);
                for (int i = 0; i < 2'000'000; ++i) rows += "1,a\n";
                std::ofstream(path, std::ios::binary) << DataHeader("1") << rows << FullRow(1);
            },
            [](const std::string& path) {
                ExpectLoad(path, false, [](const CMeasurementDataManager& store, const TDataFileView& view) {
                    EXPECT_EQ(store.RecordCount(), 0u);
                    EXPECT_NE(view.problem.find(" is one row more than a file of "), std::string::npos)
                        << view.problem;
                });
                EXPECT_TRUE(LogShows("ファイル[" + path + "]を読めません: line "));
            }},
        // A line of 256 MB without a line end (a hole of a sparse file): refused with its line
        // number once it is longer than any line of a data file, never held whole.
        THostileFile{
            "LineOf256MegabytesWithoutALineEnd",
            [](const std::string& path) {
                WriteFile(path, DataHeader("1"));
                ASSERT_EQ(truncate(path.c_str(), static_cast<off_t>(DataHeader("1").size()) + (256 << 20)),
                          0);
            },
            [](const std::string& path) {
                ExpectLoad(path, false, [](const CMeasurementDataManager&, const TDataFileView& view) {
                    EXPECT_EQ(view.problem, "line 15 is longer than 1048576 bytes");
                });
            }},
        THostileFile{"DataCountOf4294967295",
                     [](const std::string& path) {
                         WriteFile(path, DataHeader("4294967295") + FullRow(1) + FullRow(2));
                     },
                     [](const std::string& path) {
                         ExpectLoad(path, true,
                                    [](const CMeasurementDataManager& store, const TDataFileView& view) {
                                        EXPECT_EQ(store.RecordCount(), 2u);
                                        EXPECT_EQ(view.skippedLines, 0u);
                                    });
                     }},
        THostileFile{
            "FifoAsDataFile", [](const std::string& path) { ASSERT_EQ(mkfifo(path.c_str(), 0600), 0); },
            [](const std::string& path) {
                ExpectLoad(path, false, [](const CMeasurementDataManager& store, const TDataFileView&) {
                    EXPECT_EQ(store.RecordCount(), 0u);
                });
                EXPECT_TRUE(LogShows("ファイル[" + path + "]のオープンに失敗しました。"));
            }},
        THostileFile{"SettingsFileOf1100000Bytes",
                     [](const std::string& path) {
                         WriteFile(path, kDefine + "; " + std::string(1'100'000, 'x') + "\r\n");
                     },
                     [](const std::string& path) {
                         const std::string before = ReadFile(path);
                         ExpectRefusedSettings(path, "is larger than 1048576 bytes");
                         EXPECT_EQ(ReadFile(path), before);
                     }},
        THostileFile{"FifoAsSettingsFile",
                     [](const std::string& path) { ASSERT_EQ(mkfifo(path.c_str(), 0600), 0); },
                     [](const std::string& path) {
                         ExpectRefusedSettings(path, "is not a regular file");
                         EXPECT_TRUE(std::filesystem::is_fifo(path));
                     }},
        THostileFile{"SettingsFileThatIsAFolder",
                     [](const std::string& path) { ASSERT_TRUE(CreateFolderWithParents(path)); },
                     [](const std::string& path) {
                         ExpectRefusedSettings(path, "is a folder");
                         EXPECT_TRUE(std::filesystem::is_directory(path));
                     }},
        // Below the size bound: read, and its keys found with one parse rather than one per key.
        THostileFile{"SettingsFileOfBlankLinesWithinTheBound",
                     [](const std::string& path) { WriteFile(path, std::string(1'000'000, '\n') + kDefine); },
                     [](const std::string& path) {
                         CInifileAccessor accessor(path);
                         TParameterSet set;
                         ReadParameterSet(set, AccessorSection(&accessor, "user"),
                                          AccessorSection(&accessor, "parameter"));
                         EXPECT_EQ(TDeviceSettings::Read(AccessorSection(&accessor, "parameter")).vendorText,
                                   "0x04D8");
                         EXPECT_EQ(accessor.Problem(), "");
                     }}),
    [](const ::testing::TestParamInfo<THostileFile>& info) { return std::string(info.param.name); });

// A settings file that exists but cannot be read must not read as empty for a write: after a
// root-owned install, starting a measurement would replace define.ini with the one key it writes.
// The read error is injected where the INI layer reads the file, so this holds for root as well.
TEST(UnreadableSettings, WritesAreRefusedAndTheFileKept) {
    const std::string path = TestHome() + "/unreadable/define.ini";
    WriteFile(path, kDefine);
    const struct {
        const char* name;
        std::string problem;
    } cases[] = {{"I/O error", "Input/output error"}, {"permissions", "Permission denied"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CInifileAccessor accessor(path, [&](const std::string&) {
            TFileRead read;
            read.result = TFileRead::EResult::kFailed;
            read.problem = c.problem;
            return read;
        });
        AccessorSection parameter(&accessor, "parameter");
        EXPECT_EQ(TDeviceSettings::Read(parameter).recordLimit, 2147483647);  // defaults
        EXPECT_FALSE(parameter.SetInteger("is-meas-span", 1));
        EXPECT_FALSE(parameter.Delete("chc1"));
        EXPECT_FALSE(accessor.DeleteSection("parameter"));
        EXPECT_EQ(ReadFile(path), kDefine);
        EXPECT_TRUE(LogShows("設定ファイル[" + path + "]を読み込めません: " + c.problem));
    }
    // Readable again: the same accessor reads and writes.
    CInifileAccessor accessor(path);
    EXPECT_TRUE(AccessorSection(&accessor, "parameter").SetInteger("is-meas-span", 1));
    EXPECT_EQ(ReadFile(path), kDefine + "is-meas-span=1\r\n");
}

// The same with a real mode-000 file, written by a user who may replace files in the folder but
// not read this one: as root through another uid, otherwise as the test's own user.
TEST(UnreadableSettings, ModeZeroFileIsKeptForAnUnprivilegedWriter) {
    const bool root = geteuid() == 0;
    if (root && !testing_support::WhyUsersCannotBeSwitched().empty())
        GTEST_SKIP() << testing_support::WhyUsersCannotBeSwitched();
    // The other user may not reach the build folder: it runs a copy.
    const testing_support::CStagedProgram staged(CAppProcess::BinaryPath("ini_write_probe"));
    if (root && !staged.Problem().empty())
        GTEST_SKIP() << staged.Problem();
    const uid_t uid = root ? testing_support::UnusedUid(2001) : geteuid();
    const std::string folder = root ? testing_support::MakeFolderOf(uid, 0700) : TestHome() + "/mode000";
    ASSERT_TRUE(CreateFolderWithParents(folder));
    const std::string path = folder + "/define.ini";
    WriteFile(path, kDefine);
    ASSERT_EQ(chmod(path.c_str(), 0), 0);
    const std::vector<std::string> probe{root ? staged.Path() : CAppProcess::BinaryPath("ini_write_probe"),
                                         path, "parameter", "is-meas-span", "1"};
    const std::string output = TestHome() + "/probe.txt";
    const std::vector<std::string> line =
        root ? testing_support::AsUser(uid, probe, {"HOME=" + folder}) : probe;
    CAppProcess process(line.front(), std::vector<std::string>(line.begin() + 1, line.end()), output);
    EXPECT_EQ(process.Wait(std::chrono::seconds(30)), 1) << ReadFile(output);
    EXPECT_EQ(ReadFile(output), "refused Permission denied\n");
    chmod(path.c_str(), 0600);
    EXPECT_EQ(ReadFile(path), kDefine);
    if (root)
        std::filesystem::remove_all(folder);
}

// A file the user made read-only is not replaced by a save, whatever writes it: the save fails as
// a failed write does. Run as the file's owner; as root, through another uid (root may write
// anything).
TEST(WriteProtectedFiles, AreNotReplacedBySaves) {
    const bool root = geteuid() == 0;
    if (root && !testing_support::WhyUsersCannotBeSwitched().empty())
        GTEST_SKIP() << testing_support::WhyUsersCannotBeSwitched();
    // The other user may not reach the build folder: it runs a copy.
    const testing_support::CStagedProgram staged(CAppProcess::BinaryPath("file_save_probe"));
    if (root && !staged.Problem().empty())
        GTEST_SKIP() << staged.Problem();
    const uid_t uid = root ? testing_support::UnusedUid(2001) : geteuid();
    const std::string folder = root ? testing_support::MakeFolderOf(uid, 0700) : TestHome() + "/protected";
    ASSERT_TRUE(CreateFolderWithParents(folder));
    for (const char* kind : {"data", "offset", "setup", "ini"}) {
        SCOPED_TRACE(kind);
        const std::string path = folder + "/" + kind + ".file";
        const auto save = [&] {
            const std::vector<std::string> probe{
                root ? staged.Path() : CAppProcess::BinaryPath("file_save_probe"), kind, path};
            const std::vector<std::string> line =
                root ? testing_support::AsUser(uid, probe, {"HOME=" + folder}) : probe;
            const std::string output = TestHome() + "/save-probe.txt";
            CAppProcess process(line.front(), std::vector<std::string>(line.begin() + 1, line.end()), output);
            const int code = process.Wait(std::chrono::seconds(30));
            return std::to_string(code) + " " + ReadFile(output);
        };
        WriteFile(path, "precious\r\n");
        ASSERT_EQ(chown(path.c_str(), uid, uid), 0);
        ASSERT_EQ(chmod(path.c_str(), 0444), 0);
        EXPECT_EQ(save(), "1 refused\n");
        EXPECT_EQ(ReadFile(path), "precious\r\n");
        ASSERT_EQ(chmod(path.c_str(), 0644), 0);
        EXPECT_EQ(save(), "0 saved\n");
        EXPECT_NE(ReadFile(path), "precious\r\n");
    }
    if (root)
        std::filesystem::remove_all(folder);
}
