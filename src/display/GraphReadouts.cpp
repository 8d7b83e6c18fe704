#include "display/GraphReadouts.h"

#include <algorithm>
#include <cstdio>

#include "data/SamplingRate.h"
#include "display/GraphScaleNames.h"

namespace {

std::string Signed(int32_t value) {
    char text[16];
    std::snprintf(text, sizeof text, "%+d", value);
    return text;
}

}  // namespace

uint32_t ScrolledRecords(const CMeasurementDataManager& store) {
    switch (store.State()) {
        case CMeasurementDataManager::kStateHolding:
            return store.RecordCount();
        case CMeasurementDataManager::kStateMeasuring:
            return store.RecordsThisRun();
        default:
            return 0;
    }
}

uint32_t RightEdgeRecord(const TTimeAxis& time, uint32_t records) {
    if (records == 0)
        return 0;
    return static_cast<uint32_t>(
        std::min<uint64_t>(records - 1, uint64_t{time.start} + time.samplesPerScreen));
}

TGraphReadouts GraphReadouts(const TGraphViewState& view, uint32_t unit) {
    TGraphReadouts readouts;
    readouts.timeDiv = TimeDivName(view.time.timeDivIndex) + "/DIV";
    readouts.tempDiv = TempDivName(view.temperature.tempDivIndex, unit) + "/DIV";
    const TTemperatureRange range = view.temperature.Range();
    readouts.top = Signed(range.top);
    readouts.centre = Signed(range.centre);
    readouts.bottom = Signed(range.bottom);
    // 64-bit milliseconds: a run of more than 49.7 days of records.
    const uint64_t edge = RightEdgeRecord(view.time, view.store.RecordCount());
    readouts.elapsed = FormatElapsed(edge * view.time.samplingInterval / 1000);
    if (view.cursor.on) {
        const uint64_t record = uint64_t{view.time.start} + view.cursor.offset;
        readouts.cursor =
            FormatCursorTime(SamplingPeriodMilliseconds(view.store.SamplingRateCode()) * record);
    }
    return readouts;
}

TGraphAvailability GraphAvailability(const TGraphViewState& view) {
    const int32_t state = view.store.State();
    const bool data =
        state == CMeasurementDataManager::kStateMeasuring || state == CMeasurementDataManager::kStateHolding;
    const bool finished = state == CMeasurementDataManager::kStateHolding;
    const uint64_t records = view.store.RecordCount();
    const uint64_t cursorRecord = uint64_t{view.time.start} + view.cursor.offset;
    const int32_t timeDiv = view.time.timeDivIndex;
    TGraphAvailability availability;
    availability.timeDivUp = data && timeDiv < kTimeDivCount;
    availability.timeDivDown =
        data && view.time.samplingInterval < TimeDivSeconds(timeDiv) * 1000ull && timeDiv > 1;
    availability.tempDivUp = view.temperature.tempDivIndex < kTempDivCount;
    availability.tempDivDown = view.temperature.tempDivIndex > 1;
    availability.autoScale = data;
    availability.cursor = finished && records > 0;
    availability.cursorLeft = finished && view.cursor.on && cursorRecord != 0;
    availability.cursorRight = finished && view.cursor.on && cursorRecord + 1 < records;
    availability.cursorB = finished && view.cursor.on;
    availability.timeBar = data;
    return availability;
}
