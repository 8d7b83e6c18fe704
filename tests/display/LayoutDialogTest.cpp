// The layout dialog: its arrangement runs on every resize, and its least size is the larger of
// its own and the arrangement's (offscreen).
#include <gtest/gtest.h>

#include <QLabel>
#include <QTest>

#include "display/LayoutDialog.h"
#include "display/TestApplication.h"
#include "display/WidgetLayoutItem.h"
#include "display/layout/BorderLayout.h"
#include "display/layout/BoxLayout.h"

namespace {

using namespace VEK;
using VEK::MFC::CLayoutDialog;
using VEK::MFC::WidgetLayoutItem;

class LayoutDialogTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { EnsureTestApplication(); }

    // A bar of fixed width across the top, a panel filling the rest; margins 10, gap 6.
    CBorderLayout Arrangement(int barWidth) {
        CBorderLayout root;
        root.SetMargins(10);
        root.SetGap(6);
        root.Set(CBorderLayout::kNorth, kAlignStart, kAlignStart, WidgetLayoutItem(bar, QSize(barWidth, 30)))
            .Set(CBorderLayout::kCentre, kAlignFill, kAlignFill, WidgetLayoutItem(panel, QSize(50, 50)));
        return root;
    }

    CLayoutDialog dialog;
    QLabel* bar = new QLabel(&dialog);
    QLabel* panel = new QLabel(&dialog);
};

TEST_F(LayoutDialogTest, PlacesTheControlsOnEveryResize) {
    dialog.SetMinimumTrackSize(QSize(300, 200));
    dialog.SetLayout(Arrangement(100));
    dialog.resize(400, 300);
    dialog.show();
    EXPECT_EQ(bar->geometry(), QRect(10, 10, 100, 30));
    EXPECT_EQ(panel->geometry(), QRect(10, 46, 380, 244));
    dialog.resize(500, 350);
    ASSERT_TRUE(QTest::qWaitFor([&] { return dialog.size() == QSize(500, 350); }, 5000));
    QCoreApplication::sendPostedEvents();
    EXPECT_EQ(panel->geometry(), QRect(10, 46, 480, 294));
}

// With larger fonts the arrangement may need more than the window's fixed least size: the
// larger of both holds, or the controls would overlap.
TEST_F(LayoutDialogTest, LeastSizeIsTheLargerOfItsOwnAndTheArrangements) {
    dialog.SetMinimumTrackSize(QSize(300, 200));
    dialog.SetLayout(Arrangement(100));
    EXPECT_EQ(dialog.minimumSize(), QSize(300, 200));
    dialog.SetLayout(Arrangement(500));
    EXPECT_EQ(dialog.minimumSize(), QSize(520, 200));
    dialog.resize(100, 100);
    EXPECT_EQ(dialog.size(), QSize(520, 200));
    EXPECT_EQ(bar->geometry(), QRect(10, 10, 500, 30));
}

TEST_F(LayoutDialogTest, KeepsAClone) {
    CBorderLayout arrangement = Arrangement(100);
    dialog.SetLayout(arrangement);
    arrangement.Set(CBorderLayout::kNorth, kAlignStart, kAlignStart, WidgetLayoutItem(bar, QSize(700, 30)));
    dialog.resize(400, 300);
    dialog.show();
    EXPECT_EQ(bar->width(), 100);
}

}  // namespace
