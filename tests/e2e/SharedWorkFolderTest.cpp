// The recorder's work folder can be written by another user, who has put files there for the
// recorder's spill file: the victim's run goes on and saves its data, but neither the working file
// nor the spill file is used there, nothing reaches the plant's topics and no file of the victim's
// or the attacker's changes. Run as root with uids that have no passwd entry; skipped otherwise.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <map>

#include "RecordRunFixture.h"
#include "TestBroker.h"
#include "TestSubscriber.h"
#include "support/OtherUser.h"
#include "support/StagedProgram.h"

namespace {

using namespace std::chrono_literals;
using testing_support::ReadFile;
using testing_support::WriteFile;
using TMessages = std::vector<CTestSubscriber::TMessage>;
namespace fs = std::filesystem;

const char* const kSpillName = "mqtt-hollowmere-record-5.spill";

struct TSharedFolderAttack {
    const char* name;
    // Plants the attacker's file as the spill file in the work folder; victimFile is the victim's.
    std::function<void(const std::string& spill, const std::string& victimFile, uid_t attacker)> plant;
    bool brokerUp;  // else nobody listens, and the records would go to the spill file at the exit
    const char* spillMessage;
};

void PrintTo(const TSharedFolderAttack& a, std::ostream* out) {
    *out << a.name;
}

class SharedWorkFolderTest : public record_e2e::CRecordRunFixture,
                             public ::testing::WithParamInterface<TSharedFolderAttack> {
protected:
    std::string victimHome;
    void TearDown() override {
        if (!victimHome.empty())
            fs::remove_all(victimHome);
    }
};

// Every path below root with its owner, mode and content or link target.
std::map<std::string, std::string> Snapshot(const std::string& root) {
    std::map<std::string, std::string> entries;
    for (const auto& entry : fs::recursive_directory_iterator(root)) {
        struct stat st {};
        lstat(entry.path().c_str(), &st);
        std::string what = std::to_string(st.st_uid) + " " + std::to_string(st.st_mode & 07777) + " ";
        if (entry.is_symlink())
            what += "link " + fs::read_symlink(entry.path()).string();
        else if (!entry.is_directory())
            what += ReadFile(entry.path());
        entries[entry.path()] = what;
    }
    return entries;
}

}  // namespace

TEST_P(SharedWorkFolderTest, TheRunGoesOnWithoutTheSharedFolder) {
    if (const std::string why = testing_support::WhyUsersCannotBeSwitched(); !why.empty())
        GTEST_SKIP() << why;
    if (CTestBroker::Program().empty())
        GTEST_SKIP() << "mosquitto is not installed (scripts/setup.sh installs it)";
    // The victim may not reach the build folder: it runs a copy.
    const testing_support::CStagedProgram recorderCopy(CAppProcess::BinaryPath("hollowmere-record"));
    if (!recorderCopy.Problem().empty())
        GTEST_SKIP() << recorderCopy.Problem();
    const TSharedFolderAttack& attack = GetParam();
    const uid_t attacker = testing_support::UnusedUid(2101);
    const uid_t victim = testing_support::UnusedUid(attacker + 1);
    victimHome = testing_support::MakeFolderOf(victim, 0755);
    const std::string victimFile = victimHome + "/precious.txt";
    WriteFile(victimFile, "precious");
    const std::string appRoot = victimHome + "/Documents/Quillmark/Brisquent";
    std::string lastone = "[user]\r\nsystem-no=5\r\nsample-intvl=100msec\r\n";
    for (int channel = 1; channel <= 3; ++channel)
        lastone += "chpt" + std::to_string(channel) + "=ON,K,\"\"\r\n";
    WriteFile(appRoot + "/Setup/lastone.ini", lastone);
    WriteFile(appRoot + "/Setup/define.ini",
              "[parameter]\r\nhid-vid=tcp\r\nhid-pid=" + std::to_string(port) + "\r\n");
    fs::create_directories(appRoot + "/Data");  // the victim's, whatever the umask made it
    for (const auto& entry : fs::recursive_directory_iterator(victimHome))
        ASSERT_EQ(lchown(entry.path().c_str(), victim, victim), 0);
    // The work folder: the attacker's, and anyone's to write.
    const std::string work = appRoot + "/Data/work";
    fs::create_directories(work);
    ASSERT_EQ(chown(work.c_str(), attacker, attacker), 0);
    ASSERT_EQ(chmod(work.c_str(), 01777), 0);
    attack.plant(work + "/" + kSpillName, victimFile, attacker);
    const auto workBefore = Snapshot(work);

    CTestBroker broker;
    std::string url = broker.Url();
    if (attack.brokerUp)
        ASSERT_TRUE(broker.Start());
    CTestSubscriber subscriber;
    if (attack.brokerUp)
        ASSERT_TRUE(subscriber.Subscribe(broker.Port(), "#"));
    auto sim = StartSim({"--jitter", "40"});
    const std::string out = victimHome + "/x.csv";
    const std::vector<std::string> line =
        testing_support::AsUser(victim, {recorderCopy.Path(), "--records", "20", "--out", out, "--mqtt", url},
                                {"HOME=" + victimHome});
    CAppProcess recorder(line.front(), std::vector<std::string>(line.begin() + 1, line.end()),
                         Path("record.txt"));
    EXPECT_EQ(recorder.Wait(60s), 0) << RecorderOutput();
    StopSim(*sim);

    EXPECT_EQ(DataRows(ReadFile(out)).size(), 20u) << RecorderOutput();
    const std::string output = RecorderOutput();
    EXPECT_NE(output.find("The work folder \"" + work + "\" belongs to another user"), std::string::npos)
        << output;
    EXPECT_NE(output.find(attack.spillMessage), std::string::npos) << output;
    EXPECT_EQ(ReadFile(victimFile), "precious");
    EXPECT_EQ(Snapshot(work), workBefore);
    if (attack.brokerUp) {
        ASSERT_TRUE(subscriber.WaitFor(
            [](const TMessages& m) {
                return std::count_if(m.begin(), m.end(),
                                     [](const auto& x) { return x.topic == "hollowmere/5/record"; }) >= 20;
            },
            10s));
        for (const CTestSubscriber::TMessage& m : subscriber.Messages())
            EXPECT_EQ(m.topic.rfind("hollowmere/5/", 0), 0u) << m.topic << " " << m.payload;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Attacks, SharedWorkFolderTest,
    ::testing::Values(
        // A spill file of the attacker's with a command for the plant, anyone's to write.
        TSharedFolderAttack{"PlantedSpillFileWithAPlantCommand",
                            [](const std::string& spill, const std::string&, uid_t attacker) {
                                WriteFile(spill,
                                          "Hollowmere-MQTT-Spill,1.00,0000000000042\r\n"
                                          "plant/line3/valve7/cmd\tOPEN\r\n");
                                chmod(spill.c_str(), 0666);
                                ASSERT_EQ(chown(spill.c_str(), attacker, attacker), 0);
                            },
                            true, "belongs to another user"},
        // The spill file's name linked to a file of the victim's, with no broker: at the exit the
        // records would have been written through the link.
        TSharedFolderAttack{"SpillNameLinkedToAFileOfTheVictim",
                            [](const std::string& spill, const std::string& victimFile, uid_t attacker) {
                                fs::create_symlink(victimFile, spill);
                                ASSERT_EQ(lchown(spill.c_str(), attacker, attacker), 0);
                            },
                            false, "cannot open the spill file"}),
    [](const ::testing::TestParamInfo<TSharedFolderAttack>& info) { return std::string(info.param.name); });
