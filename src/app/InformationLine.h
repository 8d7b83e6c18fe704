#pragma once
#include <cstdint>
#include <string>

#include "support/SystemTime.h"

// What the information static 1021 shows: start time, file, sampling rate and system number.
struct TInformationLine {
    int runState = 0;
    VEK::CSystemTime startTime{};
    // The data's file; empty when they were never saved or loaded.
    std::string savedPath{};
    bool modified = false;
    // The data's rate while measuring or finished, the parameter set's otherwise.
    uint32_t rateCode = 0;
    // The shown system number; 0 shows as "--".
    uint32_t systemNumber = 0;
    // The MQTT publisher's status while it runs, else empty.
    std::string publishing{};
    // What keeps the run's files from being written, one problem a line; empty when nothing does.
    std::string fileProblem{};

    std::string Text() const;
};
