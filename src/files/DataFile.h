#pragma once
// The save and load commands' file operations on the measurement data file.
#include <string>

#include "data/MeasurementDataManager.h"
#include "data/MeasurementSetup.h"
#include "files/DataFileView.h"

namespace VEK {

// Writes the whole data file beside the target and renames it over the target only once every
// byte is on the disk. On success modified is cleared and the saved path becomes path; on failure
// the previous file and the store stay as they were.
bool SaveDataFile(const std::string& path, CMeasurementDataManager& store, const TDataFileView& view);
// Reads a "1.01" file, else a "1.00" file. On success the store holds finished data (state 2), not
// modified and saved as path for a data file, modified and saved nowhere for a working file; on
// failure it is reset with resetSetup. Both outcomes are logged.
bool LoadDataFile(const std::string& path, CMeasurementDataManager& store, TDataFileView& view,
                  const TMeasurementSetup& resetSetup);

}  // namespace VEK
