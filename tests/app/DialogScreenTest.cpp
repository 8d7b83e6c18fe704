// What a person sees first, at the scale the process runs at (the 1x and 2x ctest entries): the
// main window with the widest values a list shows, and every dialog and box. Each text fits the
// rectangle it is drawn in at its font, numbers whole; each dialog fits a 1366 x 768 screen with
// room for a panel and a title bar; one font family everywhere; and each is saved as a picture.
#include <QAccessible>
#include <QMessageBox>
#include <QProgressDialog>
#include <QScrollBar>
#include <QStyleOptionSlider>
#include <QTimer>
#include <atomic>

#include "MainDlgFixture.h"
#include "TextFit.h"
#include "app/AboutDlg.h"
#include "app/FileProgressDlg.h"
#include "app/WaitToStopDlg.h"
#include "dialogs/AdjustOffsetDlg.h"
#include "dialogs/QtOperatorPrompt.h"
#include "dialogs/UnsavedRunsDlg.h"
#include "dialogs/UserCommentDlg.h"
#include "display/DialogFont.h"

namespace {

using Ids = CMainDlgControls;
const std::string kWidest = std::string(HOLLOWMERE_SOURCE_DIR) + "/tests/app/fixtures/widest.csv";
const QSize kLaptop{1366, 768};
// Reading order: a row (controls whose heights overlap by half) left to right, rows top down.
bool ReadsBefore(const QWidget* a, const QWidget* b) {
    const QRect ra = a->geometry();
    const QRect rb = b->geometry();
    const int overlap = std::min(ra.bottom(), rb.bottom()) - std::max(ra.top(), rb.top());
    if (overlap * 2 >= std::min(ra.height(), rb.height()))
        return ra.left() < rb.left();
    return ra.top() < rb.top();
}

// The controls Tab reaches, in the order it reaches them, and in reading order.
std::pair<std::vector<std::string>, std::vector<std::string>> TabOrder(QDialog& dialog) {
    std::vector<QWidget*> chain;
    for (QWidget* widget = dialog.nextInFocusChain(); widget != &dialog; widget = widget->nextInFocusChain())
        if (widget->parentWidget() == &dialog && (widget->focusPolicy() & Qt::TabFocus) &&
            widget->isVisible())
            chain.push_back(widget);
    std::vector<QWidget*> reading = chain;
    std::stable_sort(reading.begin(), reading.end(), ReadsBefore);
    // Tab goes round: the chain read from the first control.
    if (!chain.empty())
        std::rotate(chain.begin(), std::find(chain.begin(), chain.end(), reading.front()), chain.end());
    std::pair<std::vector<std::string>, std::vector<std::string>> names;
    for (QWidget* widget : chain) names.first.push_back(text_fit::Name(widget));
    for (QWidget* widget : reading) names.second.push_back(text_fit::Name(widget));
    return names;
}

// A desktop panel and a title bar.
constexpr int kPanelAndTitle = 64;
const QString kLongComment = QStringLiteral("north hall - second week - probe at door");

std::string Joined(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) text += "\n  " + line;
    return text;
}

class DialogScreenTest : public CMainDlgFixture {
protected:
    void SetUp() override {
        CMainDlgFixture::SetUp();
        prompt.onChooseFile = [](const IOperatorPrompt::TFileRequest&) { return std::optional(kWidest); };
        Trigger(Ids::kLoadData);
        ASSERT_EQ(prompt.Told().back(), "Finished reading data from the file.");
        ASSERT_TRUE(Pump([&] { return !TemperatureText(1).empty(); }, 5000));
    }

    static bool Scaled() { return qApp->devicePixelRatio() > 1.5; }
    static std::string Picture(const std::string& name) {
        return std::string(HOLLOWMERE_SCREENS_DIR) + "/" + name + (Scaled() ? "-2x" : "") + ".png";
    }

    std::string TemperatureText(int channel, int list = 0) const {
        const CMyTemperatureValueListRapper& shown = dialog->ValueLists().Model().List(list);
        const int row = shown.RowOf(channel);
        return row < 0 ? std::string()
                       : shown.CellLook(row, shown.ColumnIndex(EValueColumn::kTemperature)).text;
    }

    // Every text of the window whole, in the one family.
    static void CheckTexts(const QWidget& window, const std::string& name) {
        const std::vector<std::string> findings =
            text_fit::Check(window, CChannelValueLists::CellFont(DialogFont()));
        EXPECT_TRUE(findings.empty()) << name << Joined(findings);
        for (const QWidget* control : window.findChildren<QWidget*>())
            EXPECT_EQ(QFontInfo(control->font()).family(), QFontInfo(DialogFont()).family())
                << name << ": " << text_fit::Name(control);
    }

    // Shown at its own size: fits the laptop screen at 1x, texts whole, saved as a picture.
    static void CheckDialog(QDialog& opened, const std::string& name) {
        opened.show();
        QCoreApplication::processEvents();
        if (!Scaled()) {
            EXPECT_LE(opened.width(), kLaptop.width()) << name;
            EXPECT_LE(opened.height() + kPanelAndTitle, kLaptop.height()) << name << " " << opened.height();
        }
        CheckTexts(opened, name);
        const auto [tab, reading] = TabOrder(opened);
        EXPECT_EQ(tab, reading) << name << ": Tab goes out of reading order";
        // A control grown for its text does not run into its neighbour.
        const QList<QWidget*> controls = opened.findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
        for (qsizetype i = 0; i < controls.size(); ++i)
            for (qsizetype j = i + 1; j < controls.size(); ++j)
                if (!controls[i]->isWindow() && !controls[j]->isWindow() && controls[i]->isVisible() &&
                    controls[j]->isVisible())
                    EXPECT_FALSE(controls[i]->geometry().intersects(controls[j]->geometry()))
                        << name << ": " << text_fit::Name(controls[i]) << " overlaps "
                        << text_fit::Name(controls[j]);
        EXPECT_TRUE(opened.grab().save(QString::fromStdString(Picture("dialog-" + name))));
        opened.hide();
    }

    // All of a value list's columns lie inside its viewport.
    bool ColumnsInView(int id) const {
        const auto* list = Control<VEK::MFC::CDrawingListCtrl>(id);
        int columns = 0;
        for (int column = 0; column < list->ColumnCount(); ++column) columns += list->columnWidth(column);
        return columns <= list->viewport()->width();
    }

    // Runs check on the dialog the prompt is asked to run, then cancels it.
    void OnRun(const std::function<void(QDialog&)>& check) {
        prompt.onRun = [check](QDialog& opened) {
            check(opened);
            return static_cast<int>(QDialog::Rejected);
        };
    }
};

// The widest values in the list beside the graph and in the lists without it, at the least
// window size: every cell shows its text whole.
TEST_F(DialogScreenTest, MainWindowShowsTheWidestValuesWhole) {
    dialog->resize(861, 600);
    ASSERT_TRUE(Pump([&] { return dialog->size() == QSize(861, 600); }, 5000));
    EXPECT_EQ(TemperatureText(1), "-123.4 ");
    EXPECT_EQ(TemperatureText(2), "+1234.5 ");
    EXPECT_EQ(TemperatureText(3), "Out Of Range");
    EXPECT_EQ(TemperatureText(4), "-199.9 ");
    CheckTexts(*dialog, "graph mode");
    // The list beside the graph shows its columns inside the list, without scrolling.
    EXPECT_TRUE(ColumnsInView(Ids::kList0));
    QCoreApplication::sendPostedEvents();
    EXPECT_TRUE(dialog->grab().save(QString::fromStdString(Picture("screen-widest"))));

    // Readings beyond any file's range reach the lists while measuring: still whole.
    CChannelValueLists& lists = dialog->ValueLists();
    for (const auto& [channel, tenths] : {std::pair{1, -12345}, {2, 12345}, {4, -1999}}) {
        lists.OnChannelValueChanged(channel, TChannelValue::Reading(static_cast<int16_t>(tenths), false));
        lists.OnSamplesStored(channel, 1, 100000);
    }
    lists.RefreshLists();
    EXPECT_EQ(TemperatureText(1), "-1234.5 ");
    CheckTexts(*dialog, "graph mode, widest readings");

    Trigger(Ids::kGraphDisplay);
    for (int index : {0, 1, 2}) {
        dialog->Controls().ListCountBox()->setCurrentIndex(index);
        dialog->SetListCount(index);
        QCoreApplication::sendPostedEvents();
        CheckTexts(*dialog, "list mode " + std::to_string(index));
        // One or two lists: the comment gives up room until the values are in view. Four lists
        // at the least window size are too narrow for that and scroll.
        if (index < 2)
            EXPECT_TRUE(ColumnsInView(Ids::kLists[0])) << index;
        EXPECT_TRUE(dialog->grab().save(
            QString::fromStdString(Picture("screen-widest-list" + std::to_string(1 << index)))));
    }
}

// Setup, start, comment, offset, about, wait-to-stop, unsaved runs, file progress and a message
// box: each fits the screen and shows its texts whole.
TEST_F(DialogScreenTest, EveryDialogFitsTheScreenAndShowsItsTextsWhole) {
    int checked = 0;
    OnRun([&](QDialog& opened) {
        CheckDialog(opened, "setup");
        ++checked;
    });
    Trigger(Ids::kSetup);

    OnRun([&](QDialog& opened) {
        for (const char* box : {"1057", "1058", "1059"}) opened.findChild<QAbstractButton*>(box)->click();
        opened.findChild<QLineEdit*>("1062")->setText(QString::fromStdString(DataPath("run.csv")));
        CheckDialog(opened, "start");
        ++checked;
    });
    Click(Ids::kStartStop);

    OnRun([&](QDialog& opened) {
        CheckDialog(opened, "adjust-offset");
        ++checked;
    });
    Trigger(Ids::kAdjustOffset);
    EXPECT_EQ(checked, 3);

    CUserCommentDlg comment(1, kLongComment.toStdString(), dialog.get());
    CheckDialog(comment, "user-comment");
    CAboutDlg about("1.00", dialog.get());
    CheckDialog(about, "about");
    CWaitToStopDlg wait([] { return false; }, dialog.get());
    CheckDialog(wait, "wait-to-stop");
    VEK::TUnsavedRun run;
    run.path = DataPath("20260314100000.csv");
    run.records = 3600;
    run.channels = 5;
    run.periodMs = 1000;
    run.readable = true;
    CUnsavedRunsDlg runs(
        {run}, [](const VEK::TUnsavedRun&) { return true; }, dialog.get());
    CheckDialog(runs, "unsaved-runs");

    // The platform's box, drawn sharp at the scale.
    CQtOperatorPrompt boxes(dialog.get());
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        EXPECT_DOUBLE_EQ(box->iconPixmap().devicePixelRatio(), qApp->devicePixelRatio());
        CheckDialog(*box, "message-box");
        box->show();
        box->accept();
    });
    boxes.Tell(IOperatorPrompt::EIcon::kError, "Failed to read data from the file.");

    std::atomic<bool> shot = false;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (auto* progress = qobject_cast<QProgressDialog*>(QApplication::activeModalWidget())) {
            poll.stop();
            CheckDialog(*progress, "file-progress");
            shot = true;
        }
    });
    poll.start(20);
    CFileProgressDlg(dialog.get(), QStringLiteral("Reading data from the file..."), true)
        .Run([&](const VEK::FileProgress& progress) {
            for (uint64_t done = 0; !shot; done = (done + 1) % 1000) {
                progress(done, 1000);
                std::this_thread::sleep_for(std::chrono::milliseconds(5));
            }
            return true;
        });
    EXPECT_TRUE(shot);
}

// The value of the pixel at the middle of the bar's thumb less that of its groove beside it.
int ThumbContrast(QScrollBar& bar) {
    QStyleOptionSlider option;
    option.initFrom(&bar);
    option.orientation = bar.orientation();
    option.minimum = bar.minimum();
    option.maximum = bar.maximum();
    option.sliderPosition = bar.sliderPosition();
    option.sliderValue = bar.value();
    option.pageStep = bar.pageStep();
    option.singleStep = bar.singleStep();
    option.subControls = QStyle::SC_All;
    const QRect thumb =
        bar.style()->subControlRect(QStyle::CC_ScrollBar, &option, QStyle::SC_ScrollBarSlider, &bar);
    const QRect groove =
        bar.style()->subControlRect(QStyle::CC_ScrollBar, &option, QStyle::SC_ScrollBarGroove, &bar);
    const QImage image = bar.grab().toImage().scaled(bar.size());
    const QPoint beside = bar.orientation() == Qt::Vertical ? QPoint(groove.center().x(), groove.bottom() - 2)
                                                            : QPoint(groove.right() - 2, groove.center().y());
    EXPECT_FALSE(thumb.contains(beside));
    return std::abs(qGray(image.pixel(thumb.center())) - qGray(image.pixel(beside)));
}

// The graph's scroll bars show their thumb clearly, as the desktop the lists come from does (grey
// 205 on a 240 groove), not as the style's pale thumb (247 on 230).
TEST_F(DialogScreenTest, ScrollBarThumbsStandOut) {
    QScrollBar pale(Qt::Vertical);
    for (int id : {1023, 1024}) {
        auto* bar = Control<QScrollBar>(id);
        bar->setRange(0, 100);
        bar->setPageStep(20);
        bar->setValue(0);
        EXPECT_GE(ThumbContrast(*bar), 25) << id;
        pale.setOrientation(bar->orientation());
        pale.setRange(0, 100);
        pale.setPageStep(20);
        pale.resize(bar->size());
        EXPECT_GT(ThumbContrast(*bar), ThumbContrast(pale) + 10) << id;
    }
}

// What a screen reader finds: a name for every icon button and read-out, and the value list as a
// table whose cells read "Channel 3", "Temp." and the value.
TEST_F(DialogScreenTest, ScreenReadersFindNamesAndTheListAsATable) {
    QAccessibleInterface* window = QAccessible::queryAccessibleInterface(dialog.get());
    ASSERT_NE(window, nullptr);
    int buttons = 0;
    int tables = 0;
    std::function<void(QAccessibleInterface*)> walk = [&](QAccessibleInterface* node) {
        QWidget* widget = qobject_cast<QWidget*>(node->object());
        const bool shown = widget == nullptr || widget->isVisible();
        if (shown && node->role() == QAccessible::Button) {
            ++buttons;
            EXPECT_FALSE(node->text(QAccessible::Name).isEmpty()) << text_fit::Name(widget);
        }
        if (shown && qobject_cast<CMyTextStatic*>(widget) != nullptr)
            EXPECT_FALSE(node->text(QAccessible::Name).isEmpty()) << text_fit::Name(widget);
        if (shown && node->tableInterface() != nullptr && widget->objectName() == "1014") {
            ++tables;
            QAccessibleTableInterface* table = node->tableInterface();
            EXPECT_EQ(table->rowCount(), 5);
            QAccessibleInterface* cell = table->cellAt(2, 0);
            ASSERT_NE(cell, nullptr);
            EXPECT_EQ(cell->text(QAccessible::Name), "Out Of Range");
            QAccessibleTableCellInterface* cellTable = cell->tableCellInterface();
            ASSERT_NE(cellTable, nullptr);
            ASSERT_EQ(cellTable->rowHeaderCells().size(), 1);
            EXPECT_EQ(cellTable->rowHeaderCells()[0]->text(QAccessible::Name), "Channel 3");
            ASSERT_EQ(cellTable->columnHeaderCells().size(), 1);
            EXPECT_EQ(cellTable->columnHeaderCells()[0]->text(QAccessible::Name), "Temp.");
            EXPECT_EQ(table->cellAt(2, 1)->text(QAccessible::Name), "K");
        }
        for (int i = 0; i < node->childCount(); ++i) walk(node->child(i));
    };
    walk(window);
    EXPECT_GE(buttons, 14);
    EXPECT_EQ(tables, 1);
    EXPECT_EQ(QAccessible::queryAccessibleInterface(Control(Ids::kStartStop))->text(QAccessible::Name),
              "Start");
    EXPECT_EQ(QAccessible::queryAccessibleInterface(Control(Ids::kStatus))->text(QAccessible::Name).left(7),
              "Status:");
}

}  // namespace
