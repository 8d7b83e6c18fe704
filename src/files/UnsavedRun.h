#pragma once
// Working files left in Data/work by runs that were never saved (a crash, a power cut, a killed
// process, or an exit without saving): finding them, describing them and turning one into a data
// file. A file some process still writes is never one of them.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "data/MeasurementDataManager.h"
#include "support/SystemTime.h"

namespace VEK {

struct TUnsavedRun {
    std::string path;
    CSystemTime startTime;  // from the file's name, which the run's start time gave
    // The number of its last whole row; the rows between are not read.
    uint32_t records = 0;
    uint32_t channels = 0;   // in use
    uint64_t size = 0;       // bytes
    int64_t modifiedMs = 0;  // last change, since the epoch
    uint32_t periodMs = 0;   // of its sampling rate; 0 when unknown
    // Its first line is a working file's header; a file without one fails to load.
    bool readable = false;
};

// "YYYYMMDDhhmmss.csv", the name the run's start time gives its working file.
bool IsWorkingFileName(std::string_view name);
// From the file's header and its last rows; nothing when it is not a regular file.
std::optional<TUnsavedRun> DescribeUnsavedRun(const std::string& path);
// How long after its last change a file may still grow: one row's time of its run (at most a
// minute) and two seconds.
int64_t GrowthWindowMs(const TUnsavedRun& run);
// A process holds the file's lock (it writes the file, or has taken it over), or the file changed
// within its growth window, so that a process whose lock cannot be seen from here (on another
// machine sharing the folder) may still write it.
bool IsOwnedOrGrowing(const TUnsavedRun& run);
// The working files of folder that wait to be recovered, newest first; never exceptPath (this
// process's own).
std::vector<TUnsavedRun> FindUnsavedRuns(const std::string& folder, const std::string& exceptPath = {});
// Deletes a working file unless a process holds it; false when it holds it or the file cannot be
// deleted.
bool DeleteUnsavedRun(const std::string& path);

enum class ERecovery { kRecovered, kHeld, kFailed };
// Turns the working file into the data file out (written atomically) and deletes the working file
// only once the data file is saved; store receives the data. kHeld when a process holds the file;
// kFailed when it is not a working file, cannot be read, holds no record, out is the file itself,
// or the data file cannot be saved. Both with problem set, and the working file as it was.
ERecovery RecoverUnsavedRun(const std::string& path, const std::string& out, CMeasurementDataManager& store,
                            std::string& problem);

}  // namespace VEK
