#pragma once
// What hollowmere-plot draws of a data file: the records across the ten divisions, the
// temperatures, the channels and the cursor, from the command line and the file's own view, with
// what the operator is told about the choice.
#include <bitset>
#include <optional>
#include <string>
#include <vector>

#include "data/MeasurementDataManager.h"
#include "display/TemperatureAxis.h"
#include "display/TimeAxis.h"
#include "files/DataFileView.h"
#include "plot/PlotOptions.h"

struct TPlotView {
    TTimeAxis time;                // start, records across the ten divisions, the interval
    std::string timeDivName;       // "1min", or beyond the window's table "2hour", "1day"
    TTemperatureAxis temperature;  // the file's or --temp-div's scale, the file's centre
    std::bitset<101> channels;     // drawn
    std::optional<uint32_t> cursor;
    // Said on standard error: a view chosen for the operator, readings beyond the scale.
    std::vector<std::string> notes;

    // False with error set when the command line asks for what the file does not hold (a start or
    // cursor past its records, a channel it lacks).
    static bool Choose(const TPlotOptions& options, const CMeasurementDataManager& store,
                       const VEK::TDataFileView& fileView, TPlotView& view, std::string& error);

    uint32_t RecordsPerDivision() const { return time.SamplesPerDivision(); }
    // The last record drawn: the one at the right edge, or the file's last.
    uint32_t LastShown(uint32_t records) const;

private:
    // The shortest time per division from the window's table and beyond it (hours, days) that
    // holds a whole number of records and shows records start .. records − 1.
    void Fit(uint32_t records);
    // The file's view (or the command line's time scale) from the file's TIME OFFSET.
    void FilesView(const TPlotOptions& options, const CMeasurementDataManager& store,
                   const VEK::TDataFileView& fileView);
    void NoteReadingsBeyondScale(const CMeasurementDataManager& store);
};
