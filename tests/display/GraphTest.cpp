#include <gtest/gtest.h>

#include "GraphFixture.h"
#include "files/DataFileView.h"

namespace {

using graph_test::GraphFixture;

class GraphTest : public GraphFixture {};

VEK::TDataFileView FileView(const char* timeDiv, const char* tempDiv, int32_t centre, uint64_t offsetMs) {
    VEK::TDataFileView view;
    view.scales = {timeDiv, tempDiv, centre};
    view.timeOffsetMs = offsetMs;
    return view;
}

TEST_F(GraphTest, SettingsScalesFallBackAndClamp) {
    struct TRow {
        VEK::TGraphScaleSettings scales;
        int32_t timeDiv, tempDiv, centre;
    } const rows[] = {{{"2hour", "15", 1590}, 4, 4, 1550},
                      {{"10MIN", "50deg F", -7}, 10, 6, 0},
                      {{"1sec", "-5", -390}, 1, 4, -350},
                      {{"", "200", 5}, 4, 8, 600},
                      {{"30sec", "5deg C", -7}, 6, 3, -5}};
    for (const TRow& row : rows) {
        graph.LoadGraphScales(row.scales);
        EXPECT_EQ(graph.TimeAxis().timeDivIndex, row.timeDiv) << row.scales.timeDiv;
        EXPECT_EQ(graph.TemperatureAxis().tempDivIndex, row.tempDiv) << row.scales.tempDiv;
        EXPECT_EQ(graph.TemperatureAxis().centre, row.centre) << row.scales.tempOffset;
    }
    graph.LoadGraphScales({"10sec", "10", 50});
    EXPECT_EQ(graph.SaveGraphScales(0), (VEK::TGraphScaleSettings{"10sec", "10deg C", 50}));
    EXPECT_EQ(graph.SaveGraphScales(1).tempDiv, "10deg F");
}

// A file's TIME OFFSET may point past its records; the view and the cursor then keep to the
// records, so Delete Data Before Cursor can never take them all.
TEST_F(GraphTest, FileViewPastTheDataKeepsToTheRecords) {
    Finished(30);
    graph.ApplyDataFileView(FileView("10sec", "10deg C", 20, 500000));  // the middle at record 500
    EXPECT_EQ(graph.TimeAxis().start, 0u);
    graph.ToggleCursor();
    ASSERT_TRUE(graph.CursorOn());
    EXPECT_EQ(graph.CursorRecord(), 29u);
    EXPECT_EQ(graph.Readouts().cursor, "00h00m29.0sec");

    Finished(1000);
    graph.ApplyDataFileView(FileView("1min", "nonsense", 20, 5000000));  // record 5000 at 60 a screen
    EXPECT_EQ(graph.TimeAxis().timeDivIndex, 7);
    EXPECT_EQ(graph.TemperatureAxis().tempDivIndex, kDefaultTempDiv);
    EXPECT_EQ(graph.TimeAxis().start, 420u);  // shows the last record, on a whole division
    graph.ApplyDataFileView(FileView("30sec", "2", 20, 300000));  // middle at record 300
    EXPECT_EQ(graph.TimeAxis().start, 150u);
    EXPECT_EQ(graph.TemperatureAxis().tempDivIndex, 2);
    // A scale name from no table falls back to "10sec"; 0 records a screen never reach a division.
    graph.ApplyDataFileView(FileView("2hour", "10", 0, 0));
    EXPECT_EQ(graph.TimeAxis().samplesPerScreen, 100u);
}

TEST_F(GraphTest, CursorOnOffAndClicks) {
    Finished(1000);
    graph.ToggleCursor();
    EXPECT_EQ(graph.CursorOffset(), 50u);
    const int width = 500;
    graph.ClickArea(125, width);  // a quarter: record 25
    EXPECT_EQ(graph.CursorOffset(), 25u);
    graph.ClickArea(2, width);  // rounds to record 0
    EXPECT_EQ(graph.CursorOffset(), 0u);
    graph.ToggleCursor();
    EXPECT_FALSE(graph.CursorOn());
    graph.ClickArea(250, width);  // ignored with the cursor off
    graph.ToggleCursor();
    EXPECT_EQ(graph.CursorOffset(), 50u);

    Finished(30);
    graph.ToggleCursor();
    EXPECT_EQ(graph.CursorOffset(), 29u);
    graph.ClickArea(width / 2, width);  // record 50 does not exist
    EXPECT_EQ(graph.CursorOffset(), 29u);
    graph.ClickArea(width * 29 / 100, width);
    EXPECT_EQ(graph.CursorOffset(), 29u);
    EXPECT_FALSE(graph.Availability().cursorRight);
    EXPECT_TRUE(graph.Availability().cursorLeft);
}

TEST_F(GraphTest, CursorCommandsOnlyOnFinishedData) {
    Measuring(500);
    graph.ToggleCursor();
    EXPECT_FALSE(graph.CursorOn());
    Finished(0);
    graph.ToggleCursor();
    EXPECT_FALSE(graph.CursorOn());
    EXPECT_FALSE(graph.Availability().cursor);
}

TEST_F(GraphTest, CursorStepsAcrossADivision) {
    Finished(1000);
    graph.ScrollTime(3);
    ASSERT_EQ(graph.TimeAxis().start, 30u);
    graph.ToggleCursor();
    graph.ClickArea(0, 500);
    graph.PressCursorButton(false);  // at the left edge: one division back
    EXPECT_EQ(graph.TimeAxis().start, 20u);
    EXPECT_EQ(graph.CursorRecord(), 29u);
    graph.ReleaseCursorButton(false);

    graph.ClickArea(500, 500);  // the right edge, record 120
    ASSERT_EQ(graph.CursorOffset(), 100u);
    graph.PressCursorButton(true);
    EXPECT_EQ(graph.TimeAxis().start, 30u);
    EXPECT_EQ(graph.CursorRecord(), 121u);
    graph.ReleaseCursorButton(true);

    graph.ScrollTime(0);
    graph.ClickArea(0, 500);
    graph.PressCursorButton(false);  // nothing before record 0
    EXPECT_EQ(graph.CursorRecord(), 0u);
    EXPECT_FALSE(graph.Availability().cursorLeft);
    EXPECT_EQ(graph.Readouts().cursor, "00h00m00.0sec");
}

// Held down, a cursor button repeats after a second, ten times at 200 ms, then every 20 ms, and
// stops when the cursor reaches the end of the records.
TEST_F(GraphTest, CursorRepeatOnADrivenClock) {
    Finished(100);
    graph.ToggleCursor();
    graph.PressCursorButton(true);
    EXPECT_EQ(graph.CursorOffset(), 51u);
    EXPECT_EQ(timers.Period(CGraph::kTimerRepeatRight), 1000);
    for (int i = 0; i < 10; ++i) {
        Fire(CGraph::kTimerRepeatRight);
        EXPECT_EQ(timers.Period(CGraph::kTimerRepeatRight), 200) << i;
    }
    Fire(CGraph::kTimerRepeatRight);
    EXPECT_EQ(timers.Period(CGraph::kTimerRepeatRight), 20);
    EXPECT_EQ(graph.CursorOffset(), 62u);
    // Pressing the other button stops this one's repeat.
    graph.PressCursorButton(false);
    EXPECT_FALSE(timers.Running(CGraph::kTimerRepeatRight));
    EXPECT_EQ(timers.Period(CGraph::kTimerRepeatLeft), 1000);
    graph.ReleaseCursorButton(false);
    EXPECT_FALSE(timers.Running(CGraph::kTimerRepeatLeft));

    graph.PressCursorButton(true);
    while (timers.Running(CGraph::kTimerRepeatRight)) graph.OnTimer(CGraph::kTimerRepeatRight);
    EXPECT_EQ(graph.CursorRecord(), 99u);  // the button went grey at the last record
    EXPECT_FALSE(graph.Availability().cursorRight);
}

struct TRecentreRow {
    const char* what;
    uint32_t records;
    int scroll;       // horizontal bar position before the change
    int cursorClick;  // cursor placed at this x of 500, or −1 for no cursor
    bool zoomOut;
    uint32_t expectedStart;
    int64_t expectedCursorRecord;
};

TEST_F(GraphTest, TimeScaleChangeKeepsTheCursorOrTheCentre) {
    const TRecentreRow rows[] = {
        {"cursor, shorter", 1000, 30, 250, false, 325, 350},
        {"cursor, longer", 1000, 30, 250, true, 260, 350},
        {"centre, longer", 1000, 30, -1, true, 260, -1},
        {"centre, shorter", 1000, 30, -1, false, 325, -1},
        {"centre near the end", 1000, 90, -1, true, 800, -1},
        {"near the start", 1000, 2, -1, true, 0, -1},
    };
    for (const TRecentreRow& row : rows) {
        graph.LoadGraphScales({"10sec", "10", 0});
        Finished(row.records);
        graph.ScrollTime(row.scroll);
        if (row.cursorClick >= 0) {
            graph.ToggleCursor();
            graph.ClickArea(row.cursorClick, 500);
        }
        row.zoomOut ? graph.TimeDivUp() : graph.TimeDivDown();
        EXPECT_EQ(graph.TimeAxis().start, row.expectedStart) << row.what;
        if (row.expectedCursorRecord >= 0) {
            EXPECT_EQ(graph.CursorRecord(), static_cast<uint32_t>(row.expectedCursorRecord)) << row.what;
        }
        EXPECT_TRUE(timers.Running(CGraph::kTimerFullRedraw)) << row.what;
        graph.ReleaseHoldAndCursor();
    }
}

TEST_F(GraphTest, TimeScaleChangeWhileMeasuringFollowsTheNewestRecord) {
    Measuring(1234);
    graph.TimeDivUp();  // 20 s a division: 200 records a screen
    EXPECT_EQ(graph.TimeAxis().start, 1040u);
    store.Reset(TMeasurementSetup{});
    graph.DataReplaced();
    EXPECT_EQ(graph.TimeAxis().start, 0u);
    graph.ScrollTime(5);  // no data: the bar is disabled
    graph.TimeDivUp();
    EXPECT_EQ(graph.TimeAxis().start, 0u);
    EXPECT_EQ(graph.TimeAxis().timeDivIndex, 5);
}

// Without hold the view advances one division each time the run passes the right edge.
TEST_F(GraphTest, FollowingARunningMeasurement) {
    Measuring(0);
    uint32_t expected = 0;
    for (uint32_t ticks = 1; ticks <= 125; ++ticks) {
        store.AdvanceTick();
        graph.SamplingTick();
        if (ticks == 101 || ticks == 111 || ticks == 121)
            expected += 10;
        ASSERT_EQ(graph.TimeAxis().start, expected) << ticks;
    }
}

TEST_F(GraphTest, HoldWhileBrowsingAMeasurement) {
    Measuring(300);
    int holdChanges = 0;
    QObject::connect(&graph, &CGraph::holdChanged, [&](bool) { ++holdChanges; });
    std::vector<uint32_t> listRecords;
    QObject::connect(&graph, &CGraph::listRecordShown,
                     [&](uint32_t record) { listRecords.push_back(record); });
    graph.ScrollTime(2);
    EXPECT_TRUE(graph.Held());
    EXPECT_EQ(holdChanges, 1);
    EXPECT_EQ(timers.Period(CGraph::kTimerHold), CGraph::kHoldMs);
    for (int i = 0; i < 200; ++i) store.AdvanceTick();
    graph.SamplingTick();
    EXPECT_EQ(graph.TimeAxis().start, 20u);  // held: no advance

    timers.StopTimer(CGraph::kTimerHold);
    graph.TempDivUp();  // scale commands restart the hold timer while held
    EXPECT_EQ(timers.Period(CGraph::kTimerHold), CGraph::kHoldMs);

    timers.leftButton = true;  // the operator still drags: hold stays
    Fire(CGraph::kTimerHold);
    EXPECT_TRUE(graph.Held());
    EXPECT_EQ(timers.Period(CGraph::kTimerHold), CGraph::kHoldMs);

    timers.leftButton = false;
    Fill(1, 0, std::vector<int16_t>(480, 250));
    Fire(CGraph::kTimerHold);
    EXPECT_FALSE(graph.Held());
    EXPECT_EQ(holdChanges, 2);
    EXPECT_FALSE(timers.Running(CGraph::kTimerHold));
    EXPECT_EQ(graph.TimeAxis().start, 400u);  // the newest record, 500
    EXPECT_EQ(timers.Period(CGraph::kTimerFullRedraw), 0);
    ASSERT_FALSE(listRecords.empty());
    EXPECT_EQ(listRecords.back(), 479u);

    graph.ScrollTime(1);
    graph.ReleaseHoldAndCursor();  // a finish
    EXPECT_FALSE(graph.Held());
    EXPECT_FALSE(timers.Running(CGraph::kTimerHold));
}

TEST_F(GraphTest, AutoScaleOverTheScreensRecordsOfEveryChannelInUse) {
    Begin(4, {1, 2});
    std::vector<int16_t> readings(300, 220);
    readings[50] = 200;
    readings[99] = 250;
    readings[100] = 900;  // past the screen
    Fill(1, 0, readings);
    Fill(2, 0, {kReadingLost, kReadingOutOfRange, 230});
    visibility.SetShown(1, false);  // hidden channels count too
    store.Stop();
    graph.DataReplaced();
    graph.AutoScale();
    EXPECT_EQ(graph.TemperatureAxis().tempDivIndex, 1);
    EXPECT_EQ(graph.TemperatureAxis().centre, 22);
    EXPECT_EQ(graph.Readouts().tempDiv, "1deg C/DIV");
    EXPECT_EQ(graph.Readouts().top, "+27");

    Finished(50, 4, kReadingLost);
    graph.AutoScale();
    EXPECT_EQ(graph.TemperatureAxis().tempDivIndex, 8);
    EXPECT_EQ(graph.TemperatureAxis().centre, 600);
}

TEST_F(GraphTest, ReadoutsCountMillisecondsIn64Bits) {
    Finished(1300, 16);  // one record an hour: 54 days
    graph.ScrollTime(graph.TimeScroll().maximum);
    EXPECT_EQ(graph.TimeAxis().start, 1289u);
    EXPECT_EQ(graph.Readouts().elapsed, "1299:00:00");
    graph.ToggleCursor();
    EXPECT_EQ(graph.Readouts().cursor, "1294h00m00.0sec");
    EXPECT_EQ(graph.Readouts().timeDiv, "1hour/DIV");
}

TEST_F(GraphTest, AvailabilityFollowsStateAndScales) {
    TGraphAvailability idle;
    idle.tempDivUp = idle.tempDivDown = true;
    EXPECT_EQ(graph.Availability(), idle);
    Measuring(10);
    TGraphAvailability measuring = idle;
    measuring.timeDivUp = measuring.timeDivDown = measuring.autoScale = measuring.timeBar = true;
    EXPECT_EQ(graph.Availability(), measuring);
    Finished(10);
    graph.ToggleCursor();
    TGraphAvailability cursor = measuring;
    cursor.cursor = cursor.cursorLeft = cursor.cursorB = true;  // on the last record: no step right
    EXPECT_EQ(graph.Availability(), cursor);
}

TEST_F(GraphTest, DeletionsKeepTheViewOnTheRecordsLeft) {
    Finished(1000);
    graph.ScrollTime(50);
    graph.ToggleCursor();
    store.SetRecordCount(520);  // the records after the cursor went
    graph.DataCut(false);
    EXPECT_FALSE(graph.CursorOn());
    EXPECT_EQ(graph.TimeAxis().start, 420u);
    graph.ScrollTime(30);
    store.SetRecordCount(40);  // the records before it went
    graph.DataCut(true);
    EXPECT_EQ(graph.TimeAxis().start, 0u);
}

TEST_F(GraphTest, RedrawSchedule) {
    int pictures = 0;
    QObject::connect(&graph, &CGraph::pictureChanged, [&] { ++pictures; });
    Finished(500);
    graph.AreaResized(400, 200);
    EXPECT_EQ(timers.Period(CGraph::kTimerResize), 200);
    Fire(CGraph::kTimerResize);
    EXPECT_FALSE(timers.Running(CGraph::kTimerResize));
    EXPECT_EQ(timers.Period(CGraph::kTimerFullRedraw), CGraph::kRedrawDelayMs);
    EXPECT_EQ(timers.Period(CGraph::kTimerQuickRedraw), 100);
    EXPECT_EQ(timers.Period(CGraph::kTimerSlowRedraw), 1000);
    Fire(CGraph::kTimerFullRedraw);
    EXPECT_EQ(pictures, 1);
    EXPECT_EQ(graph.Picture().size(), QSize(400, 200));
    Fire(CGraph::kTimerQuickRedraw);  // nothing asked for
    EXPECT_EQ(pictures, 1);
    graph.ToggleCursor();  // a cursor change: the next quick redraw
    Fire(CGraph::kTimerQuickRedraw);
    EXPECT_EQ(pictures, 2);
    graph.ScrollTemperature(10);  // only a quick redraw, with the lines plotted anew
    EXPECT_FALSE(timers.Running(CGraph::kTimerFullRedraw));
    Fire(CGraph::kTimerQuickRedraw);
    EXPECT_EQ(pictures, 3);
    Fire(CGraph::kTimerSlowRedraw);
    EXPECT_EQ(pictures, 3);
}

}  // namespace
