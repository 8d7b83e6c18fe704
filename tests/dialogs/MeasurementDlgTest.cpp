#include <gtest/gtest.h>

#include <QCheckBox>
#include <QDateEdit>
#include <QLineEdit>
#include <QPushButton>
#include <QTimeEdit>
#include <cstdio>

#include "ScriptedOperatorPrompt.h"
#include "dialogs/MeasurementDlg.h"
#include "display/EditDword.h"
#include "display/TestApplication.h"
#include "files/FolderMemory.h"
#include "files/InifileAccessor.h"
#include "support/TestHome.h"

namespace {

VEK::CSystemTime Time(int year, int month, int day, int hour, int minute) {
    char text[32];
    std::snprintf(text, sizeof text, "%04d/%02d/%02d %02d:%02d:00", year, month, day, hour, minute);
    VEK::CSystemTime t;
    EXPECT_TRUE(t.Parse(text)) << text;
    return t;
}

std::string Text(const VEK::CSystemTime& t) {
    return t.IsValid() ? t.Format() : "none";
}

class MeasurementDlgTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { EnsureTestApplication(); }
    void SetUp() override {
        testing_support::ResetTestHome();
        definePath = testing_support::TestHome() + "/define.ini";
    }

    std::unique_ptr<CMeasurementDlg> Open() {
        return std::make_unique<CMeasurementDlg>(prompt, VEK::AccessorSection(&define, "parameter"), nullptr,
                                                 [this] { return now; });
    }
    template <typename T>
    static T* Child(QWidget& dialog, const char* id) {
        T* child = dialog.findChild<T*>(id);
        EXPECT_NE(child, nullptr) << id;
        return child;
    }
    static void Click(QWidget& dialog, const char* id) { Child<QAbstractButton>(dialog, id)->click(); }
    std::string Defined() const { return testing_support::ReadFile(definePath); }

    std::string definePath;
    VEK::CInifileAccessor define{testing_support::TestHome() + "/define.ini"};
    CScriptedOperatorPrompt prompt;
    VEK::CSystemTime now = Time(2026, 5, 1, 12, 0);
};

TEST_F(MeasurementDlgTest, StopTimeIsTheEarlierOfWhatIsTicked) {
    struct TCase {
        const char* name;
        CMeasurementDlg::TStopChoice choice;
        VEK::CSystemTime now;
        std::optional<std::string> expected;  // nothing: refused
    };
    const VEK::CSystemTime noon = Time(2026, 5, 1, 12, 0);
    const TCase cases[] = {
        {"neither", {false, 120, false, Time(2026, 5, 1, 13, 0)}, noon, "none"},
        {"span only", {true, 90, false, {}}, noon, "2026-05-01 13:30:00"},
        {"stop-at only", {false, 0, true, Time(2026, 5, 1, 13, 0)}, noon, "2026-05-01 13:00:00"},
        {"stop-at earlier", {true, 120, true, Time(2026, 5, 1, 13, 0)}, noon, "2026-05-01 13:00:00"},
        {"span earlier", {true, 30, true, Time(2026, 5, 1, 13, 0)}, noon, "2026-05-01 12:30:00"},
        {"stop-at in the past", {true, 60, true, Time(2026, 5, 1, 11, 0)}, noon, "2026-05-01 11:00:00"},
        {"span 0", {true, 0, true, Time(2026, 5, 1, 13, 0)}, noon, std::nullopt},
        // Not wrapped into a 16-bit year, and never "earlier" than a ticked stop-at.
        {"span past the year 9999",
         {true, 4294967295LL * 60, true, Time(2026, 5, 1, 13, 0)},
         noon,
         std::nullopt},
        {"span to the last minute", {true, 59, false, {}}, Time(9999, 12, 31, 23, 0), "9999-12-31 23:59:00"},
        {"span one minute further", {true, 60, false, {}}, Time(9999, 12, 31, 23, 0), std::nullopt},
        {"eight years", {true, 70000LL * 60, false, {}}, noon, "2034-04-26 04:00:00"},
    };
    for (const TCase& c : cases) {
        const std::optional<VEK::CSystemTime> stop = CMeasurementDlg::ComputeStopTime(c.choice, c.now);
        ASSERT_EQ(stop.has_value(), c.expected.has_value()) << c.name;
        if (stop) {
            EXPECT_EQ(Text(*stop), *c.expected) << c.name;
        }
    }
}

TEST_F(MeasurementDlgTest, OpensWithTheRememberedChoices) {
    VEK::AccessorSection parameter(&define, "parameter");
    parameter.SetString("meas-span-hour", "4294967295");
    parameter.SetInteger("meas-span-min", 30);
    parameter.SetInteger("is-meas-span", 1);
    parameter.SetInteger("is-meas-autosave", 7);
    auto dialog = Open();
    EXPECT_EQ(dialog->windowTitle(), "Start Measurement");
    EXPECT_EQ(Child<CEditDword>(*dialog, "1043")->text(), "4294967295");
    EXPECT_EQ(Child<CEditDword>(*dialog, "1044")->text(), "30");
    EXPECT_TRUE(Child<QCheckBox>(*dialog, "1057")->isChecked());
    EXPECT_FALSE(Child<QCheckBox>(*dialog, "1058")->isChecked());
    EXPECT_TRUE(Child<QCheckBox>(*dialog, "1059")->isChecked());
    EXPECT_TRUE(Child<CEditDword>(*dialog, "1043")->isEnabled());
    EXPECT_FALSE(Child<QDateEdit>(*dialog, "1060")->isEnabled());
    EXPECT_FALSE(Child<QTimeEdit>(*dialog, "1061")->isEnabled());
    EXPECT_TRUE(Child<QPushButton>(*dialog, "1042")->isEnabled());
    EXPECT_EQ(Child<QLineEdit>(*dialog, "1062")->text(), "");
    EXPECT_EQ(Child<QDateEdit>(*dialog, "1060")->date(), QDate(2026, 5, 1));
    EXPECT_EQ(Child<QTimeEdit>(*dialog, "1061")->time(), QTime(12, 0));

    Click(*dialog, "1057");
    EXPECT_FALSE(Child<CEditDword>(*dialog, "1043")->isEnabled());
    EXPECT_FALSE(Child<QWidget>(*dialog, "1065")->isEnabled());
    Click(*dialog, "1058");
    EXPECT_TRUE(Child<QTimeEdit>(*dialog, "1061")->isEnabled());
}

TEST_F(MeasurementDlgTest, OkChecksWritesAndCloses) {
    struct TCase {
        const char* name;
        bool stopAfter;
        QString hours, minutes;
        bool stopAt;
        QTime stopAtTime;
        bool autoSave;
        std::string chosenFile;  // empty: "..." not pressed
        std::optional<std::string> refusal;
        const char* focus;
        std::string stopTime;
        std::string spanHourKey;
    };
    const TCase cases[] = {
        {"no stop", false, "", "", false, {}, false, "", std::nullopt, nullptr, "none", "0"},
        {"span empty", true, "", "", false, {}, false, "", CMeasurementDlg::kSpanRefused, "1043", "", ""},
        {"span 0", true, "0", "0", false, {}, false, "", CMeasurementDlg::kSpanRefused, "1043", "", ""},
        {"minutes only",
         true,
         "",
         "30",
         false,
         {},
         false,
         "",
         std::nullopt,
         nullptr,
         "2026-05-01 12:30:00",
         "0"},
        {"huge span",
         true,
         "4294967295",
         "",
         false,
         {},
         false,
         "",
         CMeasurementDlg::kSpanRefused,
         "1043",
         "",
         ""},
        {"stop-at past", false, "2", "", true, QTime(11, 0), false, "", std::nullopt, nullptr,
         "2026-05-01 11:00:00", "2"},
        {"file missing", false, "", "", false, {}, true, "", CMeasurementDlg::kFileMissing, "1062", "", ""},
        {"file chosen", true, "1", "", true, QTime(12, 30), true, "/data/run.csv", std::nullopt, nullptr,
         "2026-05-01 12:30:00", "1"},
    };
    for (const TCase& c : cases) {
        SetUp();
        prompt = CScriptedOperatorPrompt();
        prompt.onChooseFile = [&](const IOperatorPrompt::TFileRequest&) {
            return std::optional<std::string>(c.chosenFile);
        };
        auto dialog = Open();
        if (Child<QCheckBox>(*dialog, "1057")->isChecked() != c.stopAfter)
            Click(*dialog, "1057");
        Child<CEditDword>(*dialog, "1043")->setText(c.hours);
        Child<CEditDword>(*dialog, "1044")->setText(c.minutes);
        if (c.stopAt)
            Click(*dialog, "1058");
        Child<QTimeEdit>(*dialog, "1061")->setTime(c.stopAtTime);
        if (c.autoSave)
            Click(*dialog, "1059");
        if (!c.chosenFile.empty())
            Click(*dialog, "1042");
        Click(*dialog, "1");

        if (c.refusal) {
            EXPECT_EQ(prompt.Told(), std::vector<std::string>{*c.refusal}) << c.name;
            EXPECT_EQ(prompt.boxes.back().icon, IOperatorPrompt::EIcon::kExclamation) << c.name;
            EXPECT_EQ(dialog->focusWidget(), Child<QWidget>(*dialog, c.focus)) << c.name;
            EXPECT_EQ(dialog->result(), QDialog::Rejected) << c.name;
            EXPECT_EQ(Defined(), "") << c.name;
            continue;
        }
        EXPECT_TRUE(prompt.Told().empty()) << c.name;
        EXPECT_EQ(dialog->result(), QDialog::Accepted) << c.name;
        EXPECT_EQ(Text(dialog->StopTime()), c.stopTime) << c.name;
        EXPECT_EQ(dialog->DataFileName(), c.chosenFile) << c.name;
        VEK::AccessorSection parameter(&define, "parameter");
        EXPECT_EQ(parameter.GetString("meas-span-hour", "absent"), c.spanHourKey) << c.name;
        EXPECT_EQ(parameter.GetInteger("is-meas-span", -1), c.stopAfter ? 1 : 0) << c.name;
        EXPECT_EQ(parameter.GetInteger("is-meas-stoptime", -1), c.stopAt ? 1 : 0) << c.name;
        EXPECT_EQ(parameter.GetInteger("is-meas-autosave", -1), c.autoSave ? 1 : 0) << c.name;
    }
}

TEST_F(MeasurementDlgTest, BrowseProposesATimedNameAndCancelWritesNothing) {
    auto dialog = Open();
    Click(*dialog, "1059");
    Click(*dialog, "1042");
    ASSERT_EQ(prompt.fileRequests.size(), 1u);
    const IOperatorPrompt::TFileRequest& request = prompt.fileRequests[0];
    EXPECT_TRUE(request.save);
    EXPECT_EQ(request.proposedName, "20260501_120000.csv");
    EXPECT_EQ(request.filter, "DATAファイル (*.csv)|*.csv|すべてのファイル (*.*)|*.*||");
    EXPECT_EQ(request.defaultExtension, "*.csv");
    EXPECT_EQ(request.startFolder, VEK::LoadLastFolder("data"));
    // Abandoned: the field stays as it was.
    EXPECT_EQ(Child<QLineEdit>(*dialog, "1062")->text(), "");

    Click(*dialog, "1057");
    Click(*dialog, "2");
    EXPECT_EQ(dialog->result(), QDialog::Rejected);
    EXPECT_EQ(Defined(), "");
}

}  // namespace
