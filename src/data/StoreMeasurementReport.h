#pragma once
// A unit's measurement report from its bytes into the record store: decoded with what the store
// knows of the channel, then applied by the store.
#include <cstdint>
#include <optional>
#include <span>

#include "data/DecodedReport.h"

class CMeasurementDataManager;

struct TStoredReport {
    TDecodedReport report;
    // Records placed: the first (relative to the run's record 0) and how many from there.
    uint32_t recordIndex = 0;
    uint32_t recordCount = 0;
};

// Decodes with the channel's thermocouple type, the unit's stored information and the store's
// temperature unit. Nothing when the report is rejected or the store placed nothing of it (not
// measuring, channel not in use, waiting for confirmation, dropped); a rejected report leaves the
// store untouched.
std::optional<TStoredReport> StoreMeasurementReport(CMeasurementDataManager& store,
                                                    std::span<const uint8_t> report);
