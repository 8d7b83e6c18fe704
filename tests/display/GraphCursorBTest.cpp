// Cursor B: set at the cursor, moved by the cursor buttons with Shift and by clicks while it is
// the active cursor, kept on its record through scrolls and scale changes, cleared with the
// cursor; the span it makes with the cursor; its dashed line and the shade between the cursors.
#include <gtest/gtest.h>

#include "GraphFixture.h"

namespace {

using graph_test::GraphFixture;

class GraphCursorBTest : public GraphFixture {
protected:
    // Finished data of 1000 records at one a second, "10sec": 100 records a screen, 5 pixels a
    // record on an area 500 wide; the cursor at record 50, cursor B set on it.
    void SetUp() override {
        Finished(1000);
        graph.ToggleCursor();
        ASSERT_EQ(graph.CursorRecord(), 50u);
        graph.ToggleCursorB();
        ASSERT_TRUE(graph.CursorB().on);
    }
    uint32_t B() const { return graph.CursorB().record; }
    TGraphSpan Span() const { return graph.Span().value_or(TGraphSpan{9999, 9999}); }
};

TEST_F(GraphCursorBTest, SetAtTheCursorAndMovedApartFromIt) {
    EXPECT_EQ(B(), 50u);
    EXPECT_TRUE(graph.CursorB().active);
    EXPECT_EQ(Span(), (TGraphSpan{50, 50, true, true}));  // A = B
    // Shift with a cursor button moves B, repeating while held; the cursor stays.
    graph.PressCursorButton(true, true);
    Fire(CGraph::kTimerRepeatRight);
    Fire(CGraph::kTimerRepeatRight);
    graph.ReleaseCursorButton(true);
    EXPECT_EQ(B(), 53u);
    EXPECT_EQ(graph.CursorRecord(), 50u);
    // A click moves the active cursor: B.
    graph.ClickArea(400, 500);  // record 80
    EXPECT_EQ(B(), 80u);
    EXPECT_EQ(graph.CursorRecord(), 50u);
    // A plain cursor button moves the cursor and makes it the active one; a click then moves it,
    // Shift with a click moves B.
    graph.PressCursorButton(false);
    graph.ReleaseCursorButton(false);
    EXPECT_EQ(graph.CursorRecord(), 49u);
    EXPECT_FALSE(graph.CursorB().active);
    graph.ClickArea(450, 500);  // record 90: A after B
    EXPECT_EQ(graph.CursorRecord(), 90u);
    EXPECT_EQ(Span(), (TGraphSpan{90, 80, true, true}));
    graph.ClickArea(100, 500, true);  // record 20
    EXPECT_EQ(B(), 20u);
    EXPECT_EQ(graph.CursorRecord(), 90u);
    // B stops at the ends of the records.
    graph.ClickArea(0, 500, true);  // record 0
    graph.PressCursorButton(false, true);
    graph.ReleaseCursorButton(false);
    EXPECT_EQ(B(), 0u);
    graph.ScrollTime(98);  // records 980 ..: the cursor, past the last record, comes to 999
    EXPECT_EQ(graph.CursorRecord(), 999u);
    graph.ClickArea(95, 500, true);  // record 999
    graph.PressCursorButton(false);  // the cursor to 998
    graph.ReleaseCursorButton(false);
    graph.PressCursorButton(true, true);
    graph.ReleaseCursorButton(true);
    EXPECT_EQ(B(), 999u);
    EXPECT_EQ(graph.CursorRecord(), 998u);
}

TEST_F(GraphCursorBTest, KeepsItsRecordThroughScrollsAndScaleChanges) {
    graph.ClickArea(100, 500, true);  // B on record 20
    graph.ScrollTime(30);             // records 300 ..: B is off the screen, the cursor keeps its place
    EXPECT_EQ(B(), 20u);
    EXPECT_EQ(graph.CursorRecord(), 350u);
    EXPECT_EQ(Span(), (TGraphSpan{350, 20, true, true}));
    graph.TimeDivUp();  // "20sec": the cursor keeps its record too
    EXPECT_EQ(graph.CursorRecord(), 350u);
    EXPECT_EQ(B(), 20u);
    graph.TempDivUp();
    graph.AutoScale();
    EXPECT_EQ(B(), 20u);
    EXPECT_TRUE(graph.CursorB().on);
}

TEST_F(GraphCursorBTest, ClearedWithTheCursorAndTheData) {
    graph.ToggleCursor();  // the cursor off takes B with it
    EXPECT_FALSE(graph.CursorB().on);
    graph.ToggleCursorB();  // nothing without the cursor
    EXPECT_FALSE(graph.CursorB().on);
    EXPECT_FALSE(graph.Availability().cursorB);
    graph.ToggleCursor();
    graph.ToggleCursorB();
    graph.ToggleCursorB();  // the button again: off
    EXPECT_FALSE(graph.CursorB().on);
    graph.ToggleCursorB();
    graph.ReleaseHoldAndCursor();  // Clear, Load, a new run
    EXPECT_FALSE(graph.CursorB().on);
    graph.ToggleCursor();
    graph.ToggleCursorB();
    graph.DataCut(false);  // a partial deletion
    EXPECT_FALSE(graph.CursorB().on);
    graph.ToggleCursor();
    graph.ClickArea(450, 500);
    graph.ToggleCursorB();
    store.SetRecordCount(60);  // fewer records: B's is gone
    graph.DataReplaced();
    EXPECT_FALSE(graph.CursorB().on);
}

// Without cursor B the span runs to the last record, without the cursor from record 0; while
// measuring it grows with the records and no cursor can be set.
TEST_F(GraphCursorBTest, TheSpanOfTheWindow) {
    graph.ToggleCursorB();
    EXPECT_EQ(Span(), (TGraphSpan{50, 999, true, false}));
    graph.ToggleCursor();
    EXPECT_EQ(Span(), (TGraphSpan{0, 999, false, false}));
    Measuring(0);
    EXPECT_FALSE(graph.Span());
    Fill(1, 0, std::vector<int16_t>(7, 250));
    EXPECT_EQ(Span(), (TGraphSpan{0, 6, false, false}));
    Fill(1, 7, std::vector<int16_t>(5, 250));
    EXPECT_EQ(Span(), (TGraphSpan{0, 11, false, false}));
    graph.ToggleCursor();
    graph.ToggleCursorB();
    EXPECT_FALSE(graph.CursorB().on);
}

// Cursor B dashed in the cursor's colour, the columns between the cursors lighter than the rest.
TEST_F(GraphCursorBTest, DashedLineAndShadedSpan) {
    graph.ClickArea(400, 500, true);  // B on record 80
    Draw();
    const TSpanMarks marks = graph.SpanMarks();
    EXPECT_EQ(marks.cursorBX, 400);
    EXPECT_EQ(marks.shadeFrom, graph.CursorX());
    EXPECT_EQ(marks.shadeTo, 400);
    const QRgb cursor = graph.Colors().Rgb(TDisplayColors::kCursor);
    int dashes = 0, gaps = 0;
    for (int y = 0; y < 300; ++y) (Pixel(399, y) == cursor || Pixel(400, y) == cursor ? dashes : gaps) += 1;
    EXPECT_GT(dashes, 100);
    EXPECT_GT(gaps, 50);
    // The background between the cursors (black by default) is lifted; outside it is not.
    const int inside = qRed(Pixel(330, 143)), outside = qRed(Pixel(470, 143));
    EXPECT_EQ(outside, 0);
    EXPECT_GT(inside, 30);
    EXPECT_LT(inside, 60);

    graph.ScrollTime(50);  // B off the screen to the left: the shade runs from the cursor to the edge
    Fire(CGraph::kTimerFullRedraw);
    EXPECT_EQ(graph.SpanMarks().cursorBX, -1);
    EXPECT_EQ(graph.SpanMarks().shadeFrom, 0);
    EXPECT_EQ(graph.SpanMarks().shadeTo, graph.CursorX());
    graph.ToggleCursorB();
    Fire(CGraph::kTimerQuickRedraw);
    EXPECT_EQ(graph.SpanMarks(), TSpanMarks{});
    EXPECT_EQ(qRed(Pixel(130, 143)), 0);
}

}  // namespace
