#pragma once
// What the graph's read-outs say and which of its commands apply, from the view state and the
// record store.
#include <cstdint>
#include <string>

#include "data/MeasurementDataManager.h"
#include "display/TemperatureAxis.h"
#include "display/TimeAxis.h"

struct TGraphCursor {
    bool on = false;
    uint32_t offset = 0;  // records from the left edge to the cursor's record
};

// The second cursor, B: on a record of its own, where it stays while the view scrolls. It lives
// only while the cursor (A) is on. The active one of the two is the one a click in the graph moves.
struct TCursorB {
    bool on = false;
    bool active = false;
    uint32_t record = 0;
};

// The span between the cursors: A the cursor's record, or record 0 without it; B cursor B's
// record, or the newest record without it (so while measuring the span grows with the data).
struct TGraphSpan {
    uint32_t a = 0;
    uint32_t b = 0;
    bool aIsCursor = false;
    bool bIsCursor = false;
    bool operator==(const TGraphSpan&) const = default;
};

// The view state the read-outs and availability follow.
struct TGraphViewState {
    const TTimeAxis& time;
    const TTemperatureAxis& temperature;
    const TGraphCursor& cursor;
    const CMeasurementDataManager& store;
};

struct TGraphReadouts {
    std::string timeDiv;  // [1011] "10sec/DIV"
    std::string tempDiv;  // [1013] "10deg C/DIV"
    std::string top;      // [1025] "%+d"
    std::string centre;   // [1026]
    std::string bottom;   // [1029]
    std::string elapsed;  // [1028] time of the right-edge record
    std::string cursor;   // [1012] empty with the cursor off
    bool operator==(const TGraphReadouts&) const = default;
};

struct TGraphAvailability {
    bool timeDivUp = false;    // [1001]
    bool timeDivDown = false;  // [1002]
    bool tempDivUp = false;    // [1005]
    bool tempDivDown = false;  // [1006]
    bool autoScale = false;    // [1007]
    bool cursor = false;       // [1010]
    bool cursorLeft = false;   // [1008]
    bool cursorRight = false;  // [1009]
    bool cursorB = false;      // [1047]
    bool timeBar = false;      // [1023]; the vertical bar [1024] is always enabled
    bool operator==(const TGraphAvailability&) const = default;
};

// unit: the temperature unit the scale is named in.
TGraphReadouts GraphReadouts(const TGraphViewState& view, uint32_t unit);
TGraphAvailability GraphAvailability(const TGraphViewState& view);
// The records the horizontal bar spans: the record count of finished data, the run's record
// positions while measuring, none otherwise.
uint32_t ScrolledRecords(const CMeasurementDataManager& store);
// The record at the right edge, or the last one when the data end earlier; 0 without data.
uint32_t RightEdgeRecord(const TTimeAxis& time, uint32_t records);
