#pragma once
#include <string>
#include <vector>

#include "data/MeasurementDataManager.h"

// The lines hollowmere-record prints on stdout at the end: records, channels, lost readings,
// dropped samples, the file that holds the run, and what the broker got when publishing.
struct TRecordSummary {
    uint32_t records = 0;
    size_t channels = 0;
    uint64_t lost = 0;
    uint64_t dropped = 0;
    std::string file;
    // "broker: MQTT connected", "spill file: 0 records wait" while publishing.
    std::vector<std::string> publishing;

    // The store's counts, with its saved path as the file.
    static TRecordSummary Of(const CMeasurementDataManager& store);
    void Print() const;
};

void PrintRecordSummary(const CMeasurementDataManager& store);
