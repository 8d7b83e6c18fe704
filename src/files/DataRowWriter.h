#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "data/MeasurementDataManager.h"
#include "files/FileProgress.h"
#include "files/IWriter.h"

namespace VEK {

// Formats the data rows of a measurement data file: row number, the record's local date and time,
// its milliseconds, and per channel 1..n the reading ("Lost" and "Out Of Range" spelled out), or an
// empty field for a channel not in use. Rows go to the writer in large blocks.
class CDataRowWriter {
public:
    CDataRowWriter(const CMeasurementDataManager& store, uint32_t channelCount);

    // Rows of records [from, to); record i is numbered i - numberBase + 1 and stands at the start
    // time (milliseconds dropped) plus i sampling periods. Throws CWriteFailureException; false
    // when progress cancels.
    bool WriteRows(IWriter& writer, uint32_t from, uint32_t to, uint32_t numberBase,
                   const FileProgress& progress = {});

private:
    struct TLocalTime {
        int year, month, day, hour, minute, second, millisecond;
    };
    // Upper bound of a row's size: every reading spelled "Out Of Range".
    static size_t LongestRow(uint32_t channelCount);
    // Local time of a point in time; the C library is asked once per minute of rows.
    TLocalTime LocalTimeAt(int64_t epochMs);
    char* PutRow(char* out, uint32_t record, uint32_t numberBase, size_t slot);

    const CMeasurementDataManager& m_store;
    uint32_t m_channelCount;
    int64_t m_baseMs;
    uint32_t m_periodMs;
    std::vector<bool> m_inUse;        // by channel number 1..n
    std::vector<int16_t> m_readings;  // a block of records, channel after channel
    int64_t m_cachedSecond = 0;
    bool m_cacheValid = false;
    TLocalTime m_cached{};
};

}  // namespace VEK
