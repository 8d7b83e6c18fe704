#pragma once
// Writing the measurement data file "Brisquent,1.01" and the working file "Brisquent-Working,1.01":
// fourteen header lines, then one row per record. UTF-8 without BOM, CR LF, fields never quoted.
#include <cstdint>

#include "data/MeasurementDataManager.h"
#include "files/DataFileView.h"
#include "files/FileProgress.h"
#include "files/IWriter.h"

namespace VEK {

// The channels a file of the store has: up to the highest channel in use among those a measurement
// at the store's rate takes part with.
uint32_t FileChannelCount(const CMeasurementDataManager& store);
// full: a data file with every row from the first record holding a reading; otherwise only the
// header of a working file. False when a write fails or progress cancels.
bool WriteDataFile(IWriter& writer, const CMeasurementDataManager& store, const TDataFileView& view,
                   bool full, const FileProgress& progress = {});
// Appends the working file's rows of records [from, upTo) with its channel count. False when a
// write fails.
bool AppendWorkingRows(IWriter& writer, const CMeasurementDataManager& store, uint32_t channelCount,
                       uint32_t from, uint32_t upTo);

}  // namespace VEK
