#include <gtest/gtest.h>

#include "GraphFixture.h"
#include "display/GraphArea.h"

namespace {

using graph_test::GraphFixture;

// An area of 500 × 300 at 10 degrees a division centred at 0: the data layer spans 600 columns;
// a reading of T degrees lies on row trunc((1600 − T) × 3) − 4650, so 25.0 on row 75.
class GraphPictureTest : public GraphFixture {
protected:
    QRgb Background() const { return graph.Colors().Rgb(TDisplayColors::kBackground); }
    QRgb Grid() const { return graph.Colors().Rgb(TDisplayColors::kGrid); }
    QRgb Channel(int channel) const { return graph.Colors().Rgb(channel); }
    // Rows of column x in the channel's colour.
    std::vector<int> RowsOf(int x, QRgb color) const {
        std::vector<int> rows;
        for (int y = 0; y < graph.Picture().height(); ++y) {
            if (Pixel(x, y) == color)
                rows.push_back(y);
        }
        return rows;
    }
};

TEST_F(GraphPictureTest, GridBackgroundAndAConstantReading) {
    Finished(1000);
    graph.LoadGraphScales({"10sec", "10", 0});
    Draw();
    ASSERT_EQ(graph.Picture().size(), QSize(500, 300));
    EXPECT_EQ(graph.Renderer().DataLayer().Width(), 600);
    // Outer lines 4 wide centred on the edges (their inner half shows), inner lines 1 wide.
    for (const auto& [x, y] : {std::pair{0, 145},
                               {1, 145},
                               {50, 145},
                               {250, 20},
                               {499, 145},
                               {498, 145},
                               {20, 0},
                               {20, 1},
                               {20, 30},
                               {20, 150},
                               {20, 299}}) {
        EXPECT_EQ(Pixel(x, y), Grid()) << x << "," << y;
    }
    for (const auto& [x, y] : {std::pair{2, 145}, {25, 15}, {51, 145}, {497, 145}, {20, 2}, {20, 31}})
        EXPECT_EQ(Pixel(x, y), Background()) << x << "," << y;
    // 25.0 degrees: row 75, two pixels thick at 5 pixels a record.
    EXPECT_EQ(RowsOf(120, Channel(1)), (std::vector<int>{75, 76}));
    EXPECT_EQ(RowsOf(499, Channel(1)), (std::vector<int>{75, 76}));
    // A vertical scroll moves the line without a full redraw.
    graph.ScrollTemperature(graph.TemperatureRange().scroll.position - 1);  // 10 degrees up
    Fire(CGraph::kTimerQuickRedraw);
    EXPECT_EQ(RowsOf(120, Channel(1)), (std::vector<int>{105, 106}));
}

TEST_F(GraphPictureTest, ALostGapBreaksTheLineAndResumesWithAStub) {
    Begin(4);
    std::vector<int16_t> readings(100, 250);
    for (int i = 40; i < 45; ++i) readings[i] = kReadingLost;
    readings[47] = kReadingOutOfRange;
    Fill(1, 0, readings);
    store.Stop();
    graph.DataReplaced();
    graph.LoadGraphScales({"10sec", "10", 0});
    Draw();
    EXPECT_FALSE(RowsOf(195, Channel(1)).empty());  // record 39
    for (int x = 197; x < 224; ++x) EXPECT_TRUE(RowsOf(x, Channel(1)).empty()) << x;
    EXPECT_FALSE(RowsOf(224, Channel(1)).empty());  // the stub before record 45
    EXPECT_FALSE(RowsOf(225, Channel(1)).empty());
    EXPECT_TRUE(RowsOf(233, Channel(1)).empty());  // after record 46, before the stub of 48
    EXPECT_FALSE(RowsOf(240, Channel(1)).empty());
}

// At 36 000 records a screen a pixel column holds 72 records; thinning to every 10th record
// would miss a reading that stands alone, the envelope shows it.
TEST_F(GraphPictureTest, AOneRecordSpikeAt36000RecordsAScreen) {
    Begin(4);
    std::vector<int16_t> readings(40000, 250);
    readings[12345] = 800;
    Fill(1, 0, readings);
    store.Stop();
    graph.DataReplaced();
    graph.LoadGraphScales({"1hour", "10", 50});  // rows: 25.0 at 225, 80.0 at 60
    ASSERT_EQ(graph.TimeAxis().samplesPerScreen, 36000u);
    Draw();
    const int column =
        static_cast<int>(graph.Renderer()
                             .Geometry(graph.TimeAxis(), graph.TemperatureAxis(), store.RecordCount())
                             .Columns()
                             .ColumnOf(12345));
    EXPECT_NEAR(column, 12345 / 72, 1);  // 72 records a pixel column
    const std::vector<int> rows = RowsOf(column, Channel(1));
    ASSERT_FALSE(rows.empty());
    EXPECT_EQ(rows.front(), 60);
    EXPECT_EQ(rows.back(), 225);
    EXPECT_EQ(RowsOf(column + 5, Channel(1)), (std::vector<int>{225}));
}

TEST_F(GraphPictureTest, HiddenChannelsAndTheKeyColour) {
    Begin(4, {1, 2});
    Fill(1, 0, std::vector<int16_t>(200, 250));
    Fill(2, 0, std::vector<int16_t>(200, 150));  // row 105
    store.Stop();
    graph.DataReplaced();
    TDisplayColors colors;
    colors.colors[2] = 0x808080;  // the old transparent key
    graph.SetColors(colors);
    graph.LoadGraphScales({"10sec", "10", 0});
    Draw();
    EXPECT_EQ(Pixel(120, 75), Channel(1));
    EXPECT_EQ(Pixel(120, 105), qRgb(128, 128, 128));
    int toggled = 0;
    QObject::connect(&graph, &CGraph::channelVisibilityChanged, [&](int channel) { toggled = channel; });
    graph.ToggleChannel(1);
    EXPECT_EQ(toggled, 1);
    EXPECT_FALSE(visibility.Shown(1));
    EXPECT_EQ(Pixel(120, 75), Background());
    EXPECT_EQ(Pixel(120, 105), qRgb(128, 128, 128));
    graph.ToggleChannel(1);
    EXPECT_EQ(Pixel(120, 75), Channel(1));
}

TEST_F(GraphPictureTest, HoldBackgroundAndNewSamplesWhileMeasuring) {
    Measuring(50);
    graph.LoadGraphScales({"10sec", "10", 0});
    Draw();
    Fill(1, 0, std::vector<int16_t>(50, 250));
    graph.SamplesStored(1, 50, 0);
    Fire(CGraph::kTimerSlowRedraw);
    EXPECT_EQ(Pixel(120, 75), Channel(1));
    EXPECT_EQ(Pixel(310, 75), Background());  // record 62 is not there yet
    // The seam: a piece stored later joins the line before it.
    Fill(1, 50, std::vector<int16_t>(20, 300));  // row 60
    graph.SamplesStored(1, 20, 50);
    Fire(CGraph::kTimerSlowRedraw);
    const std::vector<int> rising = RowsOf(247, Channel(1));  // on its way up from 75 to 60
    ASSERT_FALSE(rising.empty());
    EXPECT_GT(rising.front(), 60);
    EXPECT_LT(rising.back(), 75);
    EXPECT_EQ(Pixel(300, 60), Channel(1));

    graph.ScrollTime(0);  // browsing: the hold background
    Fire(CGraph::kTimerFullRedraw);
    EXPECT_EQ(Pixel(25, 15), graph.Colors().Rgb(TDisplayColors::kHoldBackground));
    EXPECT_EQ(Pixel(120, 75), Channel(1));
}

TEST_F(GraphPictureTest, AdvanceShiftsTheLinesOneDivision) {
    Measuring(0);
    graph.LoadGraphScales({"10sec", "10", 0});
    Draw();
    std::vector<int16_t> readings(101, 250);
    readings[60] = 300;
    for (uint32_t i = 0; i < 101; ++i) {
        store.AdvanceTick();
        Fill(1, i, {readings[i]});
        graph.SamplesStored(1, 1, i);
    }
    ASSERT_EQ(graph.TimeAxis().start, 10u);
    Fire(CGraph::kTimerSlowRedraw);
    // Record 60 now lies at column 250 of the shifted layer, as a full redraw draws it.
    const QImage shifted = graph.Picture();
    Fire(CGraph::kTimerQuickRedraw);  // nothing asked for: the same picture
    graph.RequestFullRedraw(0);
    Fire(CGraph::kTimerFullRedraw);
    EXPECT_EQ(RowsOf(250, Channel(1)).front(), 60);
    EXPECT_TRUE(shifted == graph.Picture());
}

// The composed picture holds the cursor line in cur0; the area draws it in the colour of the
// blink's phase, which changes every 200 ms.
TEST_F(GraphPictureTest, CursorLineOnItsRecordAndItsBlink) {
    Finished(1000);
    graph.LoadGraphScales({"10sec", "10", 0});
    CGraphArea area(graph);
    area.resize(503, 300);  // not a multiple of ten: the line must still meet its record
    area.show();
    Fire(CGraph::kTimerResize);
    Fire(CGraph::kTimerFullRedraw);
    graph.ToggleCursor();
    graph.ClickArea(300, 503);  // record 60 (59.6 rounded)
    ASSERT_EQ(graph.CursorOffset(), 60u);
    Fire(CGraph::kTimerQuickRedraw);
    const TGraphGeometry geometry =
        graph.Renderer().Geometry(graph.TimeAxis(), graph.TemperatureAxis(), store.RecordCount());
    EXPECT_EQ(graph.CursorX(), geometry.X(60));
    const QRgb cur0 = graph.Colors().Rgb(TDisplayColors::kCursor);
    const QRgb cur1 = graph.Colors().Rgb(TDisplayColors::kCursorBlink);
    EXPECT_EQ(Pixel(graph.CursorX(), 150), cur0);
    EXPECT_EQ(Pixel(graph.CursorX() - 1, 150), cur0);  // 2 pixels wide

    EXPECT_EQ(graph.CursorColor(), cur0);
    Fire(CGraph::kTimerBlink);
    EXPECT_EQ(graph.CursorColor(), cur1);
    EXPECT_EQ(area.grab().toImage().pixel(graph.CursorX(), 150), cur1);
    EXPECT_EQ(Pixel(graph.CursorX(), 150), cur0);
    Fire(CGraph::kTimerBlink);
    EXPECT_EQ(area.grab().toImage().pixel(graph.CursorX(), 150), cur0);

    // At either edge the line stays inside the picture.
    graph.ClickArea(0, 503);
    Fire(CGraph::kTimerQuickRedraw);
    EXPECT_EQ(graph.CursorX(), 1);
    graph.ClickArea(503, 503);
    Fire(CGraph::kTimerQuickRedraw);
    EXPECT_EQ(graph.CursorX(), 502);
    graph.ToggleCursor();
    Fire(CGraph::kTimerQuickRedraw);
    EXPECT_EQ(graph.CursorX(), -1);
    EXPECT_EQ(graph.CursorColor(), cur0);
}

TEST_F(GraphPictureTest, ZeroSizedAreaAndMissingMemory) {
    Finished(100);
    Draw(0, 0);
    EXPECT_EQ(graph.Picture().size(), QSize(1, 1));
    CGraphRenderer renderer;
    // More than the layers may take: nothing is drawn and the area says why.
    EXPECT_FALSE(renderer.Rebuild(600000, 40000, TDisplayColors{}));
    EXPECT_TRUE(renderer.DataLayer().IsNull());
    EXPECT_TRUE(renderer.Compose(false, -1).isNull());
    EXPECT_TRUE(renderer.Rebuild(200, 100, TDisplayColors{}));
    EXPECT_FALSE(renderer.Compose(false, -1).isNull());
}

}  // namespace
