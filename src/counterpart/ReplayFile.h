#pragma once
#include <memory>
#include <string>

#include "data/MeasurementDataManager.h"

// Reads a measurement data file for replay into a store of its own: a "1.01" data or working
// file, else a "1.00" file. Null when the file cannot be read. The application's log is left
// alone: the simulator is not the application.
std::shared_ptr<CMeasurementDataManager> ReadReplayFile(const std::string& path);
