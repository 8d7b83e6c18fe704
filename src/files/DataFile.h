#pragma once
// The save and load commands' file operations on the measurement data file.
#include <string>

#include "data/MeasurementDataManager.h"
#include "data/MeasurementSetup.h"
#include "files/DataFileView.h"
#include "files/FileProgress.h"

namespace VEK {

// Writes the whole data file beside the target and renames it over the target only once every
// byte is on the disk; false, with the previous file as it was, on any failure or when progress
// (counting the rows written) cancels, with the reason in problem when given ("No space left on
// device", "cancelled"). The outcome is logged. Only reads the store: it may run on a worker thread.
bool WriteDataFileAtomically(const std::string& path, const CMeasurementDataManager& store,
                             const TDataFileView& view, const FileProgress& progress = {},
                             std::string* problem = nullptr);
// After a successful write of the data for the save command: modified is cleared and the saved
// path becomes path. Window thread.
void NoteSaved(CMeasurementDataManager& store, const std::string& path);
// WriteDataFileAtomically and NoteSaved for the save command. On success modified is cleared and the saved
// path becomes path; on failure the previous file and the store stay as they were, and problem (when
// given) says why. progress counts the rows written.
bool SaveDataFile(const std::string& path, CMeasurementDataManager& store, const TDataFileView& view,
                  const FileProgress& progress = {}, std::string* problem = nullptr);
// Reads a "1.01" file, else a "1.00" file. On success the store holds finished data (state 2), not
// modified and saved as path for a data file, modified and saved nowhere for a working file; on
// failure it is reset with resetSetup. Both outcomes are logged.
// progress counts the records read; when it cancels, the load fails like a failed read.
bool LoadDataFile(const std::string& path, CMeasurementDataManager& store, TDataFileView& view,
                  const TMeasurementSetup& resetSetup, const FileProgress& progress = {});

}  // namespace VEK
