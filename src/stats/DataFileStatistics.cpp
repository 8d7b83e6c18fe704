#include "stats/DataFileStatistics.h"

#include <algorithm>

#include "files/DataFile.h"
#include "files/SpanStatisticsCsv.h"

bool DataFileStatistics(const TStatsOptions& options, std::string& csv, std::string& error) {
    CMeasurementDataManager store;
    VEK::TDataFileView view;
    if (!VEK::ReadDataFileUnlogged(options.dataFile, store, view)) {
        error = "cannot read the data file " + options.dataFile +
                (view.problem.empty() ? "" : ": " + view.problem);
        return false;
    }
    const uint32_t records = store.RecordCount();
    if (records == 0) {
        error = "the data file holds no records";
        return false;
    }
    const uint32_t from = options.from.value_or(0);
    const uint32_t to = options.to.value_or(records - 1);
    for (uint32_t record : {from, to}) {
        if (record >= records) {
            error = "no record " + std::to_string(record) + " in the file (records 0 to " +
                    std::to_string(records - 1) + ")";
            return false;
        }
    }
    const std::vector<int32_t> inUse = store.ChannelsInUse();
    for (int32_t channel : options.channels) {
        if (std::find(inUse.begin(), inUse.end(), channel) == inUse.end()) {
            error = "channel " + std::to_string(channel) + " is not in use in the file";
            return false;
        }
    }
    csv = VEK::SpanStatisticsCsv(
        SpanStatistics(store, from, to, options.channels.empty() ? inUse : options.channels));
    return true;
}
