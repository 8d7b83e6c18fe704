#pragma once
#include "data/MeasurementDataManager.h"

// The lines hollowmere-record prints on stdout once the data are saved: records, channels, lost
// readings, dropped samples and the file.
void PrintRecordSummary(const CMeasurementDataManager& store);
