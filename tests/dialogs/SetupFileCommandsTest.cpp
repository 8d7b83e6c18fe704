// Export and Import Setup on the prompt seam, and a comment's way from the comment dialog through
// a setup file and a data file.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QClipboard>
#include <QGuiApplication>
#include <QLineEdit>
#include <QTest>

#include "ScriptedOperatorPrompt.h"
#include "dialogs/SetupFileCommands.h"
#include "dialogs/UserCommentDlg.h"
#include "display/TestApplication.h"
#include "files/DataFile.h"
#include "files/FolderMemory.h"
#include "files/InifileAccessor.h"
#include "files/Settings.h"
#include "support/TestHome.h"

namespace {

using EKind = CScriptedOperatorPrompt::TBox::EKind;

class SetupFileCommandsTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { EnsureTestApplication(); }
    void SetUp() override {
        testing_support::ResetTestHome();
        VEK::CreateSettingsFolders();
        folder = testing_support::TestHome() + "/setups";
        testing_support::WriteFile(folder + "/placeholder", "");
    }
    void Choose(const std::string& path) {
        prompt.onChooseFile = [path](const IOperatorPrompt::TFileRequest&) { return std::optional(path); };
    }
    bool Import(VEK::TParameterSet& set, VEK::TGraphScaleSettings& scales) {
        return ImportSetup(prompt, set, VEK::AccessorSection(&define, "parameter"),
                           [&](const VEK::TParameterSet& read, const VEK::TGraphScaleSettings& readScales) {
                               set = read;
                               scales = readScales;
                           });
    }

    CScriptedOperatorPrompt prompt;
    std::string folder;
    VEK::CInifileAccessor define{testing_support::TestHome() + "/define.ini"};
};

TEST_F(SetupFileCommandsTest, ExportThenImportTellsAndRemembersTheFolder) {
    VEK::TParameterSet set;
    set.systemNumber = 7;
    set.comment[4] = "kiln";
    VEK::CSystemTime now;
    ASSERT_TRUE(now.Parse("2026/03/01 12:34:56"));
    Choose(folder + "/a.set");
    EXPECT_TRUE(ExportSetup(prompt, set, {"1min", "20", 10}, now));
    ASSERT_EQ(prompt.fileRequests.size(), 1u);
    const IOperatorPrompt::TFileRequest& save = prompt.fileRequests[0];
    EXPECT_TRUE(save.save);
    EXPECT_EQ(save.filter, "SETUP File(*.set)|*.set|All Files (*.*)|*.*||");
    EXPECT_EQ(save.defaultExtension, "*.set");
    EXPECT_EQ(save.proposedName, "20260301123456.set");
    EXPECT_EQ(prompt.Told(), std::vector<std::string>{"Finished saving data to the file."});
    EXPECT_EQ(VEK::LoadLastFolder("setup"), folder);

    VEK::TParameterSet current;
    current.systemNumber = 3;
    VEK::TGraphScaleSettings scales;
    EXPECT_TRUE(Import(current, scales));
    EXPECT_FALSE(prompt.fileRequests[1].save);
    EXPECT_EQ(prompt.fileRequests[1].filter, "SETUP File (*.set)|*.set|All Files (*.*)|*.*||");
    EXPECT_EQ(prompt.fileRequests[1].startFolder, folder);
    EXPECT_EQ(current.systemNumber, 3u);
    EXPECT_EQ(current.comment[4], "kiln");
    EXPECT_EQ(scales, (VEK::TGraphScaleSettings{"1min", "20", 10}));
    EXPECT_EQ(prompt.Told().back(), "Finished reading data from the file.");
    EXPECT_EQ(prompt.boxes.back().icon, IOperatorPrompt::EIcon::kInformation);
}

TEST_F(SetupFileCommandsTest, FailuresAreToldAndChangeNothing) {
    Choose(folder + "/missing/deeper/a.set");  // a folder that does not exist
    EXPECT_FALSE(ExportSetup(prompt, {}, {}));
    EXPECT_EQ(prompt.Told(), std::vector<std::string>{"Failed to save data to the file."});
    EXPECT_EQ(prompt.boxes.back().icon, IOperatorPrompt::EIcon::kError);
    const std::string folderBefore = VEK::LoadLastFolder("setup");

    for (const char* text : {static_cast<const char*>(nullptr), "[other]\r\nsystem-no=1\r\n"}) {
        const std::string path = folder + "/b.set";
        std::remove(path.c_str());
        if (text != nullptr)
            testing_support::WriteFile(path, text);
        Choose(path);
        VEK::TParameterSet set;
        set.comment[1] = "stays";
        VEK::TGraphScaleSettings scales{"1min", "20", 10};
        EXPECT_FALSE(Import(set, scales));
        EXPECT_EQ(prompt.Told().back(), "Failed to read data from the file.");
        EXPECT_EQ(prompt.boxes.back().icon, IOperatorPrompt::EIcon::kError);
        EXPECT_EQ(set.comment[1], "stays");
        EXPECT_EQ(scales.timeDiv, "1min");
    }
    EXPECT_EQ(VEK::LoadLastFolder("setup"), folderBefore);

    prompt.boxes.clear();
    prompt.onChooseFile = [](const IOperatorPrompt::TFileRequest&) { return std::optional<std::string>(); };
    VEK::TParameterSet set;
    VEK::TGraphScaleSettings scales;
    EXPECT_FALSE(ExportSetup(prompt, set, scales));
    EXPECT_FALSE(Import(set, scales));
    EXPECT_TRUE(prompt.Told().empty());  // cancelled: nothing to tell
}

// What the operator types or pastes into the comment dialog comes back the same from a setup file
// and from a data file, and the next channel's comment stays intact.
TEST_F(SetupFileCommandsTest, CommentsSurviveSetupAndDataFiles) {
    const std::string longText(300, 'z');
    const struct {
        const char* text;
        bool pasted;
    } cases[] = {{"a,b", false},         {"a,b", true},       {"x\",y", false},   {"x\",y", true},
                 {"line1\nline2", true}, {"tab\there", true}, {"炉の入口", true}, {longText.c_str(), true}};
    for (const auto& c : cases) {
        CUserCommentDlg dialog(5, "");
        auto* edit = dialog.findChild<QLineEdit*>("1043");
        if (c.pasted) {
            QGuiApplication::clipboard()->setText(QString::fromUtf8(c.text));
            edit->paste();
        } else {
            QTest::keyClicks(edit, QString::fromUtf8(c.text));
        }
        dialog.findChild<QAbstractButton*>("1")->click();
        const std::string comment = dialog.Comment();

        VEK::TParameterSet set;
        set.systemNumber = 2;
        set.polling.SetRateCode(4);
        set.polling.SetInUse(5, true);
        set.polling.SetInUse(6, true);
        set.comment[5] = comment;
        set.comment[6] = "next";
        Choose(folder + "/c.set");
        ASSERT_TRUE(ExportSetup(prompt, set, {})) << c.text;
        VEK::TParameterSet imported;
        VEK::TGraphScaleSettings scales;
        ASSERT_TRUE(Import(imported, scales)) << c.text;
        EXPECT_EQ(imported.comment[5], comment) << c.text;
        EXPECT_EQ(imported.comment[6], "next") << c.text;

        TMeasurementSetup setup;
        setup.pollingSetting = set.polling;
        setup.comment = set.comment;
        CMeasurementDataManager store;
        store.Start(setup);
        for (int channel : {5, 6}) CMeasurementDataManager::SetReading(store.Channel(channel), 0, 250);
        store.SetRecordCount(1);
        store.Stop();
        const std::string dataPath = folder + "/c.csv";
        ASSERT_TRUE(VEK::SaveDataFile(dataPath, store, {})) << c.text;
        CMeasurementDataManager loaded;
        VEK::TDataFileView view;
        ASSERT_TRUE(VEK::LoadDataFile(dataPath, loaded, view, {})) << c.text;
        EXPECT_EQ(loaded.Channel(5).Comment(), comment) << c.text;
        EXPECT_EQ(loaded.Channel(6).Comment(), "next") << c.text;
    }
}

}  // namespace
