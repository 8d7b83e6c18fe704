// The setup and user comment dialogs on the screen (offscreen): real clicks on the cells, the type
// menu, the comment dialog through the prompt, OK and Cancel.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QTest>

#include "ScriptedOperatorPrompt.h"
#include "dialogs/SetupDlg.h"
#include "dialogs/SetupListView.h"
#include "dialogs/UserCommentDlg.h"
#include "display/TestApplication.h"

namespace {

using EClickButton = Qt::MouseButton;

class SetupDlgTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { EnsureTestApplication(); }
    void SetUp() override {
        for (int channel = 1; channel <= 100; ++channel) {
            set.polling.SetInUse(channel, channel <= 10);
            set.thermocoupleType[channel] = 1;
        }
        set.polling.SetRateCode(4);
        set.systemNumber = 7;
        set.comment[1] = "furnace inlet";
        dialog = std::make_unique<CSetupDlg>(prompt, set);
        dialog->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(dialog.get()));
        list = dialog->findChild<CSetupListView*>("1039");
        ASSERT_NE(list, nullptr);
    }

    // A real mouse click in the middle of a cell.
    void ClickCell(int row, int column, EClickButton button = Qt::LeftButton) {
        const QModelIndex index = list->model()->index(row, column);
        list->scrollTo(index);
        QTest::mouseClick(list->viewport(), button, {}, list->visualRect(index).center());
    }
    std::string Cell(int row, int column) const { return dialog->Model().Cell(row, column).text; }
    QMenu* TypeMenu() const { return dialog->findChild<QMenu*>("139"); }

    CScriptedOperatorPrompt prompt;
    VEK::TParameterSet set;
    std::unique_ptr<CSetupDlg> dialog;
    CSetupListView* list = nullptr;
};

TEST_F(SetupDlgTest, OpensWithTheSetAndShowsItsCells) {
    EXPECT_EQ(dialog->windowTitle(), "SETUP");
    EXPECT_TRUE(dialog->windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_EQ(dialog->findChild<QComboBox*>("1034")->currentText(), "1sec");
    EXPECT_EQ(dialog->findChild<QComboBox*>("1035")->currentText(), "7");
    EXPECT_EQ(dialog->findChild<QComboBox*>("1035")->count(), 64);
    EXPECT_TRUE(dialog->findChild<QAbstractButton*>("1066")->isChecked());   // ON: type
    EXPECT_FALSE(dialog->findChild<QAbstractButton*>("1072")->isChecked());  // ON: comment
    EXPECT_TRUE(dialog->findChild<QAbstractButton*>("1073")->isChecked());   // OFF: comment
    EXPECT_TRUE(dialog->findChild<QAbstractButton*>("1076")->isChecked());   // deg C
    EXPECT_NE(dialog->findChild<QWidget*>("1040"), nullptr);
    EXPECT_EQ(list->columnWidth(0), 62);
    EXPECT_EQ(list->columnWidth(1), 50);
    QDir().mkpath(HOLLOWMERE_SCREENS_DIR);
    EXPECT_TRUE(dialog->grab().save(HOLLOWMERE_SCREENS_DIR "/setup-dialog.png"));
}

TEST_F(SetupDlgTest, ClicksChangeUseAndTypeAndCancelDiscardsThem) {
    ClickCell(1, 0);
    EXPECT_EQ(Cell(1, 0), "OFF");
    ClickCell(1, 0, Qt::RightButton);  // the right button as the left
    EXPECT_EQ(Cell(1, 0), "ON");
    ClickCell(0, 0);  // mixed: all off
    EXPECT_EQ(Cell(0, 0), "OFF");
    EXPECT_EQ(Cell(50, 0), "OFF");
    ClickCell(0, 0);
    EXPECT_EQ(Cell(100, 0), "ON");

    ClickCell(0, 1);
    QMenu* menu = TypeMenu();
    ASSERT_NE(menu, nullptr);
    ASSERT_TRUE(menu->isVisible());
    const QRect cell = list->visualRect(list->model()->index(0, 1));
    const QPoint cellCorner = list->viewport()->mapToGlobal(cell.bottomRight());
    EXPECT_EQ(menu->geometry().right(), cellCorner.x());  // right edge at the cell's, top below it
    EXPECT_EQ(menu->geometry().top(), cellCorner.y() + 1);
    menu->findChild<QAction*>("32774")->trigger();
    menu->close();
    EXPECT_EQ(Cell(0, 1), "T");
    EXPECT_EQ(Cell(99, 1), "T");
    ClickCell(20, 1);
    TypeMenu()->findChild<QAction*>("32782")->trigger();
    TypeMenu()->close();
    EXPECT_EQ(Cell(20, 1), "J");
    EXPECT_EQ(Cell(0, 1), "\u2015");

    dialog->findChild<QAbstractButton*>("2")->click();
    EXPECT_EQ(dialog->result(), QDialog::Rejected);
    EXPECT_TRUE(prompt.boxes.empty());
}

TEST_F(SetupDlgTest, CommentClickOpensTheCommentDialogOfTheChannel) {
    std::string label;
    prompt.onRun = [&](QDialog& opened) {
        auto* comment = qobject_cast<CUserCommentDlg*>(&opened);
        if (comment == nullptr)
            return static_cast<int>(QDialog::Rejected);
        label = comment->findChild<QLabel*>("1067")->text().toStdString();
        auto* edit = comment->findChild<QLineEdit*>("1043");
        EXPECT_EQ(edit->text(), "");
        QTest::keyClicks(edit, "a,b");
        comment->findChild<QAbstractButton*>("1")->click();
        return comment->result();
    };
    ClickCell(3, 2);
    EXPECT_EQ(label, "Channel 3");
    EXPECT_EQ(dialog->Model().Parameters().comment[3], "ab");
    EXPECT_EQ(Cell(3, 2), " ab");
    ClickCell(0, 2);  // the ALL row has no comment
    EXPECT_EQ(prompt.boxes.size(), 1u);
}

TEST_F(SetupDlgTest, OkRefusesAMissingSystemNumberAndKeepsTheEdits) {
    ClickCell(11, 0);
    auto* numbers = dialog->findChild<QComboBox*>("1035");
    numbers->setCurrentIndex(-1);
    dialog->findChild<QAbstractButton*>("1")->click();
    ASSERT_EQ(prompt.boxes.size(), 1u);
    EXPECT_EQ(prompt.boxes[0].text, "Set the system number correctly.");
    EXPECT_EQ(prompt.boxes[0].icon, IOperatorPrompt::EIcon::kError);
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(dialog->focusWidget(), numbers);
    EXPECT_EQ(Cell(11, 0), "ON");

    numbers->setCurrentIndex(numbers->findData(12));
    dialog->findChild<QAbstractButton*>("1077")->click();
    dialog->findChild<QAbstractButton*>("1")->click();
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
    EXPECT_EQ(dialog->Parameters().systemNumber, 12u);
    EXPECT_EQ(dialog->Parameters().temperatureUnit, 1u);
    EXPECT_TRUE(dialog->Parameters().polling.InUse(11));
}

// Typed commas are ignored; pasted commas, line breaks and tabs become blanks; anything else,
// Japanese and long texts included, stays as entered.
TEST(UserCommentDlgTest, CommentTakesNoCommaOrControlCharacter) {
    EnsureTestApplication();
    const std::string longText(300, 'x');
    struct {
        const char* typed;
        const char* pasted;
        std::string expected;
    } cases[] = {
        {"a,b", "", "ab"},
        {"", "a,b", "a b"},
        {"x\",y", "", "x\"y"},
        {"", "x\",y", "x\" y"},
        {"", "line1\nline2", "line1 line2"},
        {"", "line1\r\nline2", "line1  line2"},
        {"", "a\tb", "a b"},
        {"", "炉の入口", "炉の入口"},
        {"", longText.c_str(), longText},
    };
    for (const auto& c : cases) {
        CUserCommentDlg dialog(9, "");
        dialog.show();
        auto* edit = dialog.findChild<QLineEdit*>("1043");
        EXPECT_EQ(dialog.focusWidget(), edit);
        QTest::keyClicks(edit, QString::fromUtf8(c.typed));
        if (*c.pasted != '\0') {
            QGuiApplication::clipboard()->setText(QString::fromUtf8(c.pasted));
            edit->paste();
        }
        dialog.findChild<QAbstractButton*>("1")->click();
        EXPECT_EQ(dialog.Comment(), c.expected) << c.typed << c.pasted;
    }
    CUserCommentDlg cancelled(9, "kept");
    QTest::keyClicks(cancelled.findChild<QLineEdit*>("1043"), "more");
    cancelled.findChild<QAbstractButton*>("2")->click();
    EXPECT_EQ(cancelled.Comment(), "kept");
}

}  // namespace
