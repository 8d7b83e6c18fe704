#pragma once
// The statistics table of a span of a data file, as hollowmere-stats prints it.
#include <string>

#include "stats/StatsOptions.h"

// The CSV text of the options' span and channels; false with error set when the file cannot be
// read or holds no records, or a record or channel asked for is not in it.
bool DataFileStatistics(const TStatsOptions& options, std::string& csv, std::string& error);
