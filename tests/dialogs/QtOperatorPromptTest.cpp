// The platform boxes of the prompt: modal to the main window only.
#include <gtest/gtest.h>

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "dialogs/QtOperatorPrompt.h"
#include "display/TestApplication.h"

namespace {

class QtOperatorPromptTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { EnsureTestApplication(); }
    void SetUp() override {
        window.setWindowTitle("main");
        window.show();
        other.setWindowTitle("counterpart");
        other.show();
        QObject::connect(&other, &QPushButton::clicked, [this] { ++otherClicks; });
    }

    // Runs check on the box or dialog the prompt opens, once its event loop runs.
    void WhenOpen(const std::function<void(QDialog&)>& check) {
        QTimer::singleShot(0, [check] {
            auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            ASSERT_NE(dialog, nullptr);
            check(*dialog);
        });
    }
    // A click as the window system delivers it: dropped while a modal window blocks the target.
    static void ClickThroughWindowSystem(QWidget& widget) {
        QTest::mouseClick(widget.windowHandle(), Qt::LeftButton, {}, widget.rect().center());
    }

    QWidget window;
    QPushButton other;  // a window without a parent, like the counterpart window
    int otherClicks = 0;
    CQtOperatorPrompt prompt{&window};
};

TEST_F(QtOperatorPromptTest, QuestionIsWindowModalAndLeavesOtherWindowsUsable) {
    WhenOpen([this](QDialog& dialog) {
        auto& box = static_cast<QMessageBox&>(dialog);
        EXPECT_EQ(box.windowModality(), Qt::WindowModal);
        EXPECT_EQ(box.parentWidget(), &window);
        EXPECT_EQ(box.windowTitle(), "Stop measurement");
        EXPECT_EQ(box.text(), "Are you sure to stop measurement?");
        EXPECT_EQ(box.icon(), QMessageBox::Question);
        EXPECT_EQ(box.defaultButton(), box.button(QMessageBox::Cancel));
        ClickThroughWindowSystem(other);
        EXPECT_EQ(otherClicks, 1);
        box.button(QMessageBox::Ok)->click();
    });
    EXPECT_TRUE(prompt.Ask({"Are you sure to stop measurement?", "Stop measurement", true}));
}

TEST_F(QtOperatorPromptTest, UntitledBoxCarriesTheProgramName) {
    WhenOpen([](QDialog& dialog) {
        auto& box = static_cast<QMessageBox&>(dialog);
        EXPECT_EQ(box.windowTitle(), "dialogs_tests");
        EXPECT_EQ(box.icon(), QMessageBox::Warning);
        EXPECT_EQ(box.windowModality(), Qt::WindowModal);
        box.button(QMessageBox::Ok)->click();
    });
    prompt.Tell(IOperatorPrompt::EIcon::kExclamation, "Set the data file name.");
}

TEST_F(QtOperatorPromptTest, FileDialogIsWindowModalWithTheRequestedFilter) {
    WhenOpen([](QDialog& dialog) {
        auto& files = static_cast<QFileDialog&>(dialog);
        EXPECT_EQ(files.windowModality(), Qt::WindowModal);
        EXPECT_EQ(files.acceptMode(), QFileDialog::AcceptSave);
        EXPECT_EQ(files.defaultSuffix(), "csv");
        EXPECT_EQ(files.nameFilters(), QStringList({"DATA File (*.csv)", "All Files (*)"}));
        EXPECT_EQ(files.directory().absolutePath(), QDir::tempPath());
        files.reject();
    });
    IOperatorPrompt::TFileRequest request;
    request.save = true;
    request.filter = "DATA File (*.csv)|*.csv|All Files (*.*)|*.*||";
    request.defaultExtension = "*.csv";
    request.proposedName = "x.csv";
    request.startFolder = QDir::tempPath().toStdString();
    EXPECT_EQ(prompt.ChooseFile(request), std::nullopt);
}

// A box raised from a dialog (the setup dialog refusing OK) belongs to that dialog: the window
// manager stacks it above the dialog, which stays on top, instead of below it with the main
// window. Boxes and dialogs raised from the box's own dialog nest the same way.
TEST_F(QtOperatorPromptTest, BoxRaisedFromADialogIsAboveThatDialog) {
    QDialog setup(&window);
    setup.setWindowFlag(Qt::WindowStaysOnTopHint);
    QDialog* comment = nullptr;
    WhenOpen([&](QDialog& opened) {
        ASSERT_EQ(&opened, &setup);
        WhenOpen([&](QDialog& box) {
            EXPECT_EQ(box.parentWidget(), &setup);
            EXPECT_EQ(box.windowModality(), Qt::WindowModal);
            EXPECT_TRUE(box.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
            EXPECT_EQ(static_cast<QMessageBox&>(box).iconPixmap().devicePixelRatio(),
                      box.devicePixelRatioF());
            box.close();
        });
        prompt.Tell(IOperatorPrompt::EIcon::kError, "Set the system number correctly.");
        // A dialog without a parent of its own, run from the setup dialog, belongs to it too.
        QDialog nested;
        comment = &nested;
        WhenOpen([&](QDialog& inner) {
            EXPECT_EQ(&inner, comment);
            EXPECT_EQ(inner.parentWidget(), &setup);
            inner.reject();
        });
        prompt.Run(nested);
        opened.reject();
    });
    prompt.Run(setup);
    // With no dialog open the main window owns the box again.
    EXPECT_EQ(prompt.Owner(), &window);
}

// A start folder that has gone opens its nearest existing parent, not the program's folder.
TEST_F(QtOperatorPromptTest, MissingStartFolderOpensItsNearestParent) {
    WhenOpen([](QDialog& dialog) {
        auto& files = static_cast<QFileDialog&>(dialog);
        EXPECT_EQ(files.directory().absolutePath(), QDir::tempPath());
        files.reject();
    });
    IOperatorPrompt::TFileRequest request;
    request.filter = "OFFSET File (*.csv)|*.csv||";
    request.startFolder = (QDir::tempPath() + "/no such folder/nor this").toStdString();
    EXPECT_EQ(prompt.ChooseFile(request), std::nullopt);
}

TEST_F(QtOperatorPromptTest, NameFiltersKeepTheirNames) {
    EXPECT_EQ(CQtOperatorPrompt::NameFilters("SETUP File(*.set)|*.set|All Files (*.*)|*.*||"),
              QStringList({"SETUP File (*.set)", "All Files (*)"}));
    EXPECT_EQ(CQtOperatorPrompt::NameFilters("Data|*.csv;*.txt||"), QStringList({"Data (*.csv *.txt)"}));
}

}  // namespace
