#pragma once
#include <cstdint>
#include <string>

#include "support/SystemTime.h"

// What differs between the runs that share the one start path: a measurement started with the
// start dialog's choices, the short measurement of the offset adjustment, a headless recording.
struct TRunOptions {
    // Automatic save at the end; empty: none.
    std::string dataFile{};
    // The run ends at the first sampling tick after it; invalid: none.
    VEK::CSystemTime stopTime{};
    // > 0: the run ends once that many records are complete and keeps exactly that many.
    uint32_t recordCount = 0;
    // A working copy of the data on disk while measuring.
    bool workingFile = true;
    // A start that failed is told to the operator.
    bool reportFailure = true;
    // The records go to the MQTT broker, when the controller publishes.
    bool publish = true;
    // The lists and the information line show the run and its data; the short measurement leaves
    // them showing no data, since its reports go to the offset capture.
    bool shown = true;
};
