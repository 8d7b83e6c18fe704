// The layout engine on fake controls that only remember where they were put.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "display/layout/BorderLayout.h"
#include "display/layout/BoxLayout.h"
#include "display/layout/ControlLayoutItem.h"
#include "display/layout/LayoutSpacer.h"
#include "display/layout/OverlayLayout.h"
#include "display/layout/RatioLayout.h"

namespace VEK {
// Rectangles and sizes in failure messages.
void PrintTo(const TLayoutRect& r, std::ostream* out) {
    *out << "(" << r.x << "," << r.y << " " << r.width << "x" << r.height << ")";
}
void PrintTo(const TLayoutSize& s, std::ostream* out) {
    *out << s.width << "x" << s.height;
}
}  // namespace VEK

namespace {

using namespace VEK;
using VEK::MFC::CControlLayoutItem;
using VEK::MFC::ILayoutControl;

struct CFakeControl : ILayoutControl {
    void SetGeometry(const TLayoutRect& placed) override {
        rect = placed;
        ++moves;
    }
    TLayoutRect rect{-1, -1, -1, -1};
    int moves = 0;
};

// Fake controls and the items over them.
struct TFakes {
    std::vector<std::shared_ptr<CFakeControl>> controls;

    CControlLayoutItem Item(int width, int height, TLayoutSize maximum = kUnlimitedLayoutSize) {
        controls.push_back(std::make_shared<CFakeControl>());
        return CControlLayoutItem(controls.back(), {width, height}, maximum);
    }
    TLayoutRect Rect(size_t i) const { return controls.at(i)->rect; }
    std::vector<TLayoutRect> Rects() const {
        std::vector<TLayoutRect> rects;
        for (const auto& control : controls) rects.push_back(control->rect);
        return rects;
    }
};

void Lay(ILayout& layout, int width, int height) {
    layout.SetSize(width, height);
    layout.Place(0, 0);
}


// A 40 × 20 control alone in a 100 × 50 cell at (10, 5), by alignment codes; a control that
// refuses more than 60 × 30 is centred where it cannot fill.
struct TAlignCase {
    int xCode;
    int yCode;
    TLayoutSize maximum;
    TLayoutRect expected;
};

class AlignmentTest : public ::testing::TestWithParam<TAlignCase> {};

TEST_P(AlignmentTest, PlacesTheChildInItsCell) {
    const TAlignCase& c = GetParam();
    TFakes fakes;
    COverlayLayout overlay;
    overlay.SetMargins(TLayoutMargins{10, 5, 0, 0});
    overlay.Add(c.xCode, c.yCode, fakes.Item(40, 20, c.maximum));
    overlay.SetSize(110, 55);
    overlay.Place(0, 0);
    EXPECT_EQ(fakes.Rect(0), c.expected);
}

constexpr TLayoutSize kAny = kUnlimitedLayoutSize;
constexpr TLayoutSize kSmall{60, 30};

INSTANTIATE_TEST_SUITE_P(Codes, AlignmentTest,
                         ::testing::Values(TAlignCase{0, 0, kAny, {10, 20, 40, 20}},  // left, centre
                                           TAlignCase{1, 1, kAny, {10, 5, 40, 20}},   // left, top
                                           TAlignCase{2, 2, kAny, {40, 20, 40, 20}},  // centre, centre
                                           TAlignCase{3, 3, kAny, {70, 35, 40, 20}},  // right, bottom
                                           TAlignCase{4, 4, kAny, {10, 5, 100, 50}},  // fill both
                                           TAlignCase{4, 1, kAny, {10, 5, 100, 20}},  // fill x, top
                                           TAlignCase{3, 4, kAny, {70, 5, 40, 50}},   // right, fill y
                                           TAlignCase{
                                               4, 4, kSmall, {40, 20, 40, 20}},  // fill refused: centred
                                           TAlignCase{4, 1, kSmall, {40, 5, 40, 20}}));

TEST(LayoutMinimumTest, EachKindAddsItsChildrenGapsAndMargins) {
    TFakes fakes;
    CBoxLayout row(CBoxLayout::kHorizontal);
    row.SetGap(3);
    row.SetMargins(TLayoutMargins{1, 2, 3, 4});
    row.Add(0, 0, fakes.Item(10, 5)).Add(0, 0, fakes.Item(20, 8)).Add(0, 0, CLayoutSpacer(7, 1));
    EXPECT_EQ(row.MinimumSize(), (TLayoutSize{1 + 10 + 3 + 20 + 3 + 7 + 3, 2 + 8 + 4}));

    CBoxLayout column(CBoxLayout::kVertical);
    column.SetGaps(50, 2);
    column.Add(0, 0, fakes.Item(10, 5)).Add(0, 0, fakes.Item(20, 8));
    EXPECT_EQ(column.MinimumSize(), (TLayoutSize{20, 5 + 2 + 8}));

    CBorderLayout border;
    border.SetGaps(6, 4);
    border.SetMargins(10);
    border.Set(CBorderLayout::kNorth, 4, 0, fakes.Item(200, 30))
        .Set(CBorderLayout::kSouth, 4, 0, fakes.Item(50, 10))
        .Set(CBorderLayout::kWest, 0, 0, fakes.Item(40, 60))
        .Set(CBorderLayout::kCentre, 4, 4, fakes.Item(100, 80))
        .Set(CBorderLayout::kEast, 0, 0, fakes.Item(20, 90));
    EXPECT_EQ(border.MinimumSize(),
              (TLayoutSize{20 + std::max(200, 40 + 6 + 100 + 6 + 20), 20 + 30 + 4 + 90 + 4 + 10}));
    // Empty slots take no gap.
    CBorderLayout westOnly;
    westOnly.SetGap(6);
    westOnly.Set(CBorderLayout::kWest, 0, 0, fakes.Item(40, 60));
    EXPECT_EQ(westOnly.MinimumSize(), (TLayoutSize{40, 60}));

    COverlayLayout overlay;
    overlay.SetMargins(2);
    overlay.Add(2, 2, fakes.Item(30, 5)).Add(2, 3, fakes.Item(10, 50));
    EXPECT_EQ(overlay.MinimumSize(), (TLayoutSize{34, 54}));

    EXPECT_EQ(CLayoutSpacer(7, 9).MinimumSize(), (TLayoutSize{7, 9}));
}

TEST(LayoutPlacementTest, BoxPlacesAtLeastSizesAndTheLastTakesTheRest) {
    TFakes fakes;
    CBoxLayout row(CBoxLayout::kHorizontal, true);
    row.SetGap(10);
    row.SetMargins(5);
    row.Add(0, 1, fakes.Item(30, 10)).Add(0, 3, fakes.Item(20, 20)).Add(4, 4, fakes.Item(40, 5));
    Lay(row, 300, 50);
    EXPECT_EQ(fakes.Rect(0), (TLayoutRect{5, 5, 30, 10}));
    EXPECT_EQ(fakes.Rect(1), (TLayoutRect{45, 25, 20, 20}));
    EXPECT_EQ(fakes.Rect(2), (TLayoutRect{75, 5, 220, 40}));
}

TEST(LayoutPlacementTest, BorderFillsTheCentreBetweenItsEdges) {
    TFakes fakes;
    CBorderLayout border;
    border.SetGap(6);
    border.SetMargins(10);
    border.Set(CBorderLayout::kNorth, 4, 0, fakes.Item(200, 30))
        .Set(CBorderLayout::kSouth, 4, 0, fakes.Item(50, 10))
        .Set(CBorderLayout::kWest, 0, 1, fakes.Item(40, 60))
        .Set(CBorderLayout::kCentre, 4, 4, fakes.Item(100, 80))
        .Set(CBorderLayout::kEast, 3, 3, fakes.Item(20, 90));
    Lay(border, 500, 400);
    EXPECT_EQ(fakes.Rect(0), (TLayoutRect{10, 10, 480, 30}));
    EXPECT_EQ(fakes.Rect(1), (TLayoutRect{10, 380, 480, 10}));
    EXPECT_EQ(fakes.Rect(2), (TLayoutRect{10, 46, 40, 60}));
    EXPECT_EQ(fakes.Rect(3), (TLayoutRect{56, 46, 408, 328}));
    EXPECT_EQ(fakes.Rect(4), (TLayoutRect{470, 46 + 328 - 90, 20, 90}));
}

// The inner extent minus the gap is split by the percentage, truncated; at the ratio's minimum
// each side still gets its own minimum (a box of two would give the second side less).
struct TRatioCase {
    int percentage;
    int firstNeed;
    int secondNeed;
    int width;  // placed at this width; 0: at the minimum
    int firstWidth;
    int secondWidth;
};

class RatioTest : public ::testing::TestWithParam<TRatioCase> {};

TEST_P(RatioTest, SplitsThePercentageTruncated) {
    const TRatioCase& c = GetParam();
    TFakes fakes;
    CRatioLayout ratio(c.percentage);
    ratio.SetGap(6);
    ratio.SetMargins(10);
    ratio.SetFirst(4, 4, fakes.Item(c.firstNeed, 50)).SetSecond(4, 4, fakes.Item(c.secondNeed, 50));
    const int width = c.width != 0 ? c.width : ratio.MinimumSize().width;
    Lay(ratio, width, 100);
    EXPECT_EQ(fakes.Rect(0).width, c.firstWidth);
    EXPECT_EQ(fakes.Rect(1).width, c.secondWidth);
    EXPECT_EQ(fakes.Rect(1).x, 10 + c.firstWidth + 6);
    EXPECT_EQ(fakes.Rect(1).Right(), width - 10);
    EXPECT_GE(fakes.Rect(0).width, c.firstNeed);
    EXPECT_GE(fakes.Rect(1).width, c.secondNeed);
}

INSTANTIATE_TEST_SUITE_P(Splits, RatioTest,
                         ::testing::Values(
                             // 835 - 20 - 6 = 809; 809 × 0.65 = 525.85
                             TRatioCase{65, 100, 100, 835, 525, 284},
                             // 1900 - 26 = 1874; × 0.65 = 1218.1
                             TRatioCase{65, 100, 100, 1900, 1218, 656},
                             // A list part needing 300 at the minimum: 858 shared, 557 + 301
                             TRatioCase{65, 200, 300, 0, 557, 301},
                             // The first side decides: ceil(500 / 0.65) = 770 -> 500 + 270
                             TRatioCase{65, 500, 100, 0, 500, 270}, TRatioCase{50, 120, 121, 0, 121, 121},
                             TRatioCase{50, 121, 120, 0, 121, 121}));

TEST(RatioTest, ColumnSplitsItsHeight) {
    TFakes fakes;
    CRatioLayout ratio(30, CRatioLayout::kVertical);
    ratio.SetGap(4);
    ratio.SetFirst(4, 4, fakes.Item(10, 10)).SetSecond(4, 4, fakes.Item(10, 10));
    Lay(ratio, 50, 104);
    EXPECT_EQ(fakes.Rect(0), (TLayoutRect{0, 0, 50, 30}));
    EXPECT_EQ(fakes.Rect(1), (TLayoutRect{0, 34, 50, 70}));
    EXPECT_EQ(ratio.MinimumSize(), (TLayoutSize{10, 34 + 4}));
}

// Four lists as two halves of two: equal widths up to the truncation's pixel, at any width.
TEST(RatioTest, FourListsAreEqualWithinOnePixel) {
    for (int width = 300; width <= 1920; width += 7) {
        TFakes fakes;
        CRatioLayout left(50), right(50), lists(50);
        for (CRatioLayout* ratio : {&left, &right, &lists}) ratio->SetGap(10);
        left.SetFirst(4, 4, fakes.Item(20, 20)).SetSecond(4, 4, fakes.Item(20, 20));
        right.SetFirst(4, 4, fakes.Item(20, 20)).SetSecond(4, 4, fakes.Item(20, 20));
        lists.SetFirst(4, 4, left).SetSecond(4, 4, right);
        Lay(lists, width, 400);
        std::vector<int> widths;
        for (const TLayoutRect& rect : fakes.Rects()) widths.push_back(rect.width);
        const auto [narrowest, widest] = std::minmax_element(widths.begin(), widths.end());
        EXPECT_LE(*widest - *narrowest, 1) << "at " << width;
        EXPECT_EQ(fakes.Rect(3).Right(), width) << "at " << width;
    }
}

// The graph block's bar row: spacers as wide as the label column and the vertical bar plus the
// gap make the bar span the graph area exactly, whatever the labels' width.
TEST(SpacerTest, BarSpansTheAreaBetweenLabelsAndVerticalBar) {
    for (int labelWidth : {30, 57, 81}) {
        TFakes fakes;
        CBorderLayout labels;
        labels.Set(CBorderLayout::kNorth, 0, 0, fakes.Item(labelWidth, 14))
            .Set(CBorderLayout::kSouth, 0, 0, fakes.Item(labelWidth - 5, 14));
        CControlLayoutItem verticalBar = fakes.Item(17, 40);
        CControlLayoutItem area = fakes.Item(100, 100);
        CBorderLayout barRow;
        barRow.Set(CBorderLayout::kWest, 0, 0, CLayoutSpacer(labels.MinimumSize().width + 6, 0))
            .Set(CBorderLayout::kCentre, 4, 0, fakes.Item(50, 17))
            .Set(CBorderLayout::kEast, 0, 0, CLayoutSpacer(verticalBar.MinimumSize().width + 6, 0));
        CBorderLayout block;
        block.SetGap(6);
        block.Set(CBorderLayout::kWest, 2, 4, labels)
            .Set(CBorderLayout::kCentre, 4, 4, area)
            .Set(CBorderLayout::kEast, 2, 4, verticalBar)
            .Set(CBorderLayout::kSouth, 4, 0, barRow);
        Lay(block, 640, 480);
        const TLayoutRect areaRect = fakes.Rect(3);
        const TLayoutRect barRect = fakes.Rect(4);
        EXPECT_EQ(barRect.x, areaRect.x) << labelWidth;
        EXPECT_EQ(barRect.Right(), areaRect.Right()) << labelWidth;
        EXPECT_EQ(barRect.y, areaRect.Bottom() + 6) << labelWidth;
    }
}

TEST(SpacerTest, RefusesOtherSizesAndIsCentredInAFillCell) {
    CLayoutSpacer spacer(10, 4);
    EXPECT_FALSE(spacer.SetSize(20, 4));
    EXPECT_TRUE(spacer.SetSize(10, 4));
    EXPECT_EQ(spacer.CurrentSize(), (TLayoutSize{10, 4}));
    TFakes fakes;
    CBoxLayout row;
    row.Add(0, 0, spacer).Add(4, 4, fakes.Item(5, 5));
    Lay(row, 100, 20);
    EXPECT_EQ(fakes.Rect(0), (TLayoutRect{10, 0, 5, 20}));
}

// A window grown (maximised) and shrunk back puts every control where it was: minimums come
// from the natural sizes, not from the sizes the last fill gave.
TEST(LayoutLifecycleTest, GrowThenShrinkReturnsTheFirstRectangles) {
    TFakes fakes;
    CBoxLayout bar;
    bar.SetGap(10);
    bar.Add(0, 0, fakes.Item(120, 40)).Add(0, 0, fakes.Item(48, 48));
    CRatioLayout split(65);
    split.SetGap(6);
    split.SetFirst(4, 4, fakes.Item(200, 150)).SetSecond(4, 4, fakes.Item(120, 120));
    CBorderLayout root;
    root.SetMargins(10);
    root.SetGap(6);
    root.Set(CBorderLayout::kNorth, 4, 0, bar).Set(CBorderLayout::kCentre, 4, 4, split);
    const TLayoutSize least = root.MinimumSize();
    Lay(root, 861, 600);
    const std::vector<TLayoutRect> first = fakes.Rects();
    Lay(root, 1920, 1080);
    EXPECT_NE(fakes.Rects(), first);
    EXPECT_EQ(root.MinimumSize(), least);
    Lay(root, 861, 600);
    EXPECT_EQ(fakes.Rects(), first);
}

TEST(LayoutLifecycleTest, CloneMovesTheSameControlsIndependently) {
    TFakes fakes;
    CBoxLayout row;
    row.Add(4, 4, fakes.Item(10, 10));
    std::unique_ptr<ILayout> copy = row.Clone();
    Lay(*copy, 30, 40);
    EXPECT_EQ(fakes.Rect(0), (TLayoutRect{0, 0, 10, 40}));
    EXPECT_EQ(row.CurrentSize(), (TLayoutSize{10, 10}));  // the original was never sized
    copy->Place(5, -1);
    EXPECT_EQ(fakes.Rect(0), (TLayoutRect{5, 0, 10, 40}));
}

}  // namespace
