#pragma once
#include <cstdint>
#include <string>

#include "files/GraphScaleSettings.h"

namespace VEK {

// The graph's view state that a data file stores, handed in by the graph when writing and back to
// it when reading, so that the file code knows nothing of the display.
struct TDataFileView {
    // TIME/DIV, TEMP/DIV (the temperature scale named in the store's unit, e.g. "10deg C") and
    // TEMP OFFSET (the temperature centre).
    TGraphScaleSettings scales;
    // Written: the record at the graph's left edge and the records across its ten divisions.
    uint32_t firstVisibleRecord = 0;
    uint32_t samplesPerScreen = 0;
    // Read: TIME OFFSET, the time of the graph's middle from the first record, in milliseconds.
    uint64_t timeOffsetMs = 0;
    // Read: lines after the header without a record's number and time, which are skipped.
    uint32_t skippedLines = 0;
    // Read: the file is a working file ("Brisquent-Working"), the rows of a run never saved.
    bool workingFile = false;
    // Read, working files only: rows cut short or of the wrong length. Those before the last whole
    // row keep their records, without readings; those after it are dropped.
    uint32_t damagedRows = 0;
    // Read: why a file with a right header was refused ("line 12: ..."), else empty.
    std::string problem;
};

// The left-edge record for a file's TIME OFFSET, once the graph has taken the file's sampling rate
// and time scale (samples per screen): half a screen before the middle, rounded up to a whole
// division.
uint32_t FirstVisibleRecord(uint64_t timeOffsetMs, uint32_t periodMs, uint32_t samplesPerScreen);

}  // namespace VEK
