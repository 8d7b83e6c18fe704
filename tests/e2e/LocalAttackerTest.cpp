// Another local user attacks the recorder and the application through shared folders. Run as root
// with uids that have no passwd entry; skipped otherwise.
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <map>

#include "support/AppProcess.h"
#include "support/OtherUser.h"
#include "support/StagedProgram.h"
#include "support/TestHome.h"

using namespace std::chrono_literals;
using testing_support::ReadFile;
using testing_support::WriteFile;
namespace fs = std::filesystem;

namespace {

// What a folder tree holds: every path with its type and content or link target.
std::map<std::string, std::string> Snapshot(const std::string& root) {
    std::map<std::string, std::string> entries;
    for (const auto& entry : fs::recursive_directory_iterator(root)) {
        const fs::path& path = entry.path();
        if (entry.is_symlink())
            entries[path] = "link " + fs::read_symlink(path).string();
        else if (entry.is_directory())
            entries[path] = "folder";
        else
            entries[path] = "file " + ReadFile(path);
    }
    return entries;
}

// Makes a file or folder the attacker's, as if the attacker had made it.
void GiveTo(uid_t uid, const std::string& path) {
    ASSERT_EQ(lchown(path.c_str(), uid, uid), 0) << path;
}

struct TAttack {
    const char* name;
    uid_t victimOffset;
    // Prepares the attack; returns the folder tree the attacker controls.
    std::function<std::string(uid_t attacker, uid_t victim, const std::string& victimFile)> prepare;
    bool homeSet;  // the victim runs with HOME set to its home folder
    std::vector<const char*> programs;
    int exitCode;
    const char* message;  // in the program's output
};

void PrintTo(const TAttack& a, std::ostream* out) {
    *out << a.name;
}

class LocalAttackerTest : public ::testing::TestWithParam<TAttack> {
protected:
    std::vector<std::string> cleanUp;
    void TearDown() override {
        for (const std::string& path : cleanUp) fs::remove_all(path);
    }
};

std::string LockFolderInTmp(uid_t attacker, uid_t victim) {
    const std::string folder = "/tmp/hollowmere-" + std::to_string(victim);
    fs::remove_all(folder);
    fs::create_directory(folder);
    chmod(folder.c_str(), 0777);
    GiveTo(attacker, folder);
    return folder;
}

}  // namespace

TEST_P(LocalAttackerTest, TheVictimsFilesStayIntact) {
    if (const std::string why = testing_support::WhyUsersCannotBeSwitched(); !why.empty())
        GTEST_SKIP() << why;
    const TAttack& attack = GetParam();
    const uid_t attacker = testing_support::UnusedUid(2001);
    // Each attack its own victim, so that attacks run side by side use different folders in /tmp.
    const uid_t victim = testing_support::UnusedUid(attacker + attack.victimOffset);
    const std::string home = testing_support::MakeFolderOf(victim, 0700);
    cleanUp.push_back(home);
    const std::string victimFile = home + "/precious.txt";
    WriteFile(victimFile, "precious");
    GiveTo(victim, victimFile);

    const std::string tree = attack.prepare(attacker, victim, victimFile);
    if (tree.empty())
        GTEST_SKIP() << "the shared folder exists already and is not this test's";
    cleanUp.push_back(tree);
    const auto before = Snapshot(tree);

    for (const char* program : attack.programs) {
        SCOPED_TRACE(program);
        // The victim may not reach the build folder: it runs a copy.
        const testing_support::CStagedProgram staged(CAppProcess::BinaryPath(program));
        if (!staged.Problem().empty())
            GTEST_SKIP() << staged.Problem();
        std::vector<std::string> environment{"QT_QPA_PLATFORM=offscreen"};
        if (attack.homeSet)
            environment.push_back("HOME=" + home);
        const std::vector<std::string> line =
            testing_support::AsUser(victim, {staged.Path(), "--out", home + "/x.csv"}, environment);
        const std::string output = testing_support::TestHome() + "/attack.txt";
        CAppProcess process(line.front(), std::vector<std::string>(line.begin() + 1, line.end()), output);
        EXPECT_EQ(process.Wait(30s), attack.exitCode) << ReadFile(output);
        const std::string text = ReadFile(output);
        EXPECT_NE(text.find(attack.message), std::string::npos) << text;
        for (char c : text) EXPECT_TRUE(c == '\n' || static_cast<unsigned char>(c) >= 0x20) << text;
    }
    EXPECT_EQ(ReadFile(victimFile), "precious");
    EXPECT_EQ(Snapshot(tree), before);
}

INSTANTIATE_TEST_SUITE_P(
    Attacks, LocalAttackerTest,
    ::testing::Values(
        // The lock file in a folder the attacker made first, linked to a file of the victim: the
        // recorder uses its own folder below home and runs up to its next check.
        TAttack{"PremadeTmpFolderWithALinkedLockFile",
                1,
                [](uid_t attacker, uid_t victim, const std::string& victimFile) {
                    const std::string folder = LockFolderInTmp(attacker, victim);
                    const std::string lock = folder + "/ZentriApp.20140922.lock";
                    fs::create_symlink(victimFile, lock);
                    GiveTo(attacker, lock);
                    return folder;
                },
                true,
                {"hollowmere-record"},
                2,
                "no system number is set"},
        // A lock file held by the attacker with terminal escape codes as its owner's name.
        TAttack{"LockFileWithEscapeCodes",
                2,
                [](uid_t attacker, uid_t victim, const std::string&) {
                    const std::string folder = LockFolderInTmp(attacker, victim);
                    const std::string lock = folder + "/ZentriApp.20140922.lock";
                    WriteFile(lock, "\x1b]0;owned\x07\x1b[2J\x1b[31mroot");
                    chmod(lock.c_str(), 0666);
                    GiveTo(attacker, lock);
                    static int holder = -1;  // held until the test process ends
                    holder = open(lock.c_str(), O_RDWR | O_CLOEXEC);
                    flock(holder, LOCK_EX | LOCK_NB);
                    return folder;
                },
                true,
                {"hollowmere-record"},
                2,
                "no system number is set"},
        // HOME unset and no passwd entry: the documents folder would be /tmp/Documents, which the
        // attacker filled with settings and a log linked to a file of the victim.
        TAttack{"HomeUnsetWithAnAttackersDocumentsTree",
                3,
                [](uid_t attacker, uid_t, const std::string& victimFile) -> std::string {
                    const std::string documents = "/tmp/Documents";
                    const std::string marker = documents + "/.hollowmere-attack-test";
                    if (fs::exists(documents) && !fs::exists(marker))
                        return {};
                    fs::remove_all(documents);
                    const std::string root = documents + "/Quillmark/Brisquent";
                    WriteFile(marker, "");
                    WriteFile(root + "/Setup/define.ini", "[parameter]\r\nhid-vid=tcp\r\nhid-pid=47999\r\n");
                    WriteFile(root + "/Setup/lastone.ini", "[user]\r\nsystem-no=5\r\n");
                    fs::create_directories(root + "/Log");
                    fs::create_directories(root + "/Data/work");
                    fs::create_symlink(victimFile, root + "/Log/Hollowmere.log");
                    for (const auto& entry : fs::recursive_directory_iterator(documents)) {
                        if (!entry.is_symlink())
                            chmod(entry.path().c_str(), entry.is_directory() ? 0777 : 0666);
                        GiveTo(attacker, entry.path());
                    }
                    chmod(documents.c_str(), 0777);
                    GiveTo(attacker, documents);
                    return documents;
                },
                false,
                {"hollowmere-record", "hollowmere"},
                2,
                "no home folder is known"}),
    [](const ::testing::TestParamInfo<TAttack>& info) { return std::string(info.param.name); });
