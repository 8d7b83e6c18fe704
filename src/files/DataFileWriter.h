#pragma once
// Writing the measurement data file "Brisquent,1.01" and the working file "Brisquent-Working,1.01":
// fourteen header lines, then one row per record. UTF-8 without BOM, CR LF, fields never quoted.
#include <cstdint>

#include "data/MeasurementDataManager.h"
#include "files/DataFileView.h"
#include "files/IWriter.h"

namespace VEK {

// full: a data file with every row from the first record holding a reading; otherwise only the
// header of a working file, after which the store's working-row counter is 0. Sets the store's file
// channel count. False when a write fails.
bool WriteDataFile(IWriter& writer, CMeasurementDataManager& store, const TDataFileView& view, bool full);
// Appends the rows from the store's working-row counter up to (not including) record upTo and
// advances the counter. False when a write fails; the counter then stays.
bool AppendWorkingRows(IWriter& writer, CMeasurementDataManager& store, uint32_t upTo);

}  // namespace VEK
