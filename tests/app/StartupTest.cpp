#include <gtest/gtest.h>
#include <signal.h>

#include <filesystem>
#include <map>

#include "support/AppProcess.h"
#include "support/TestHome.h"

using namespace std::chrono_literals;
using testing_support::FileExists;
using testing_support::ReadFile;

namespace {

class StartupTest : public ::testing::Test {
protected:
    std::string root;
    std::string logPath;
    std::string lastonePath;

    void SetUp() override {
        testing_support::ResetTestHome();
        root = testing_support::TestHome() + "/Documents/Quillmark/Brisquent";
        logPath = root + "/Log/Hollowmere.log";
        lastonePath = root + "/Setup/lastone.ini";
        testing_support::WriteFile(lastonePath, "[user]\r\nsystem-no=5\r\n");
    }
    bool Logged(const std::string& text) const { return ReadFile(logPath).find(text) != std::string::npos; }

    // Every file below HOME with its contents.
    std::map<std::string, std::string> Snapshot() const {
        std::map<std::string, std::string> files;
        for (const auto& entry : std::filesystem::recursive_directory_iterator(testing_support::TestHome())) {
            if (entry.is_regular_file())
                files[entry.path().string()] = ReadFile(entry.path().string());
        }
        return files;
    }
};

}  // namespace

TEST_F(StartupTest, StartsLogsAndSavesStateOnSigterm) {
    CAppProcess app(CAppProcess::BinaryPath("hollowmere"));
    ASSERT_TRUE(WaitUntil([&] { return Logged("アプリケーションを開始しました。"); }, 20s));
    EXPECT_TRUE(std::filesystem::is_directory(root + "/Setup"));
    EXPECT_TRUE(std::filesystem::is_directory(root + "/Data"));
    EXPECT_TRUE(std::filesystem::is_directory(root + "/Log"));

    app.Signal(SIGTERM);
    EXPECT_EQ(app.Wait(20s), 0);
    EXPECT_TRUE(Logged("アプリケーションを正常終了しました。"));
    std::string lastone = ReadFile(lastonePath);
    EXPECT_NE(lastone.find("[user]"), std::string::npos);
    EXPECT_NE(lastone.find("system-no=5\r\n"), std::string::npos);
    EXPECT_NE(lastone.find("chpt100=OFF,K,\"\"\r\n"), std::string::npos);
    EXPECT_NE(lastone.find("[main-dlg]\r\nValid=1\r\n"), std::string::npos);
}

TEST_F(StartupTest, SecondInstanceLeavesEveryFileUntouched) {
    CAppProcess first(CAppProcess::BinaryPath("hollowmere"));
    ASSERT_TRUE(WaitUntil([&] { return Logged("アプリケーションを開始しました。"); }, 20s));
    auto before = Snapshot();

    CAppProcess second(CAppProcess::BinaryPath("hollowmere"));
    EXPECT_EQ(second.Wait(2s), 0);
    EXPECT_EQ(Snapshot(), before);

    first.Signal(SIGINT);
    EXPECT_EQ(first.Wait(20s), 0);
    EXPECT_TRUE(Logged("アプリケーションを正常終了しました。"));
}

TEST_F(StartupTest, SigtermWhileTheSystemNumberIsAskedEndsCleanly) {
    testing_support::WriteFile(lastonePath, "");  // system number 0: the setup question opens
    CAppProcess app(CAppProcess::BinaryPath("hollowmere"));
    ASSERT_TRUE(WaitUntil([&] { return Logged("アプリケーションを開始しました。"); }, 20s));
    app.Signal(SIGTERM);
    EXPECT_EQ(app.Wait(20s), 0);
    EXPECT_TRUE(Logged("アプリケーションを正常終了しました。"));
}
