#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "support/SystemTime.h"

// Command line of hollowmere-record.
struct TRecordOptions {
    std::string setupFile;    // --setup: section "user" of a setup file instead of lastone.ini
    std::string outFile;      // --out
    int64_t spanMinutes = 0;  // --span H:MM; 0 none
    uint32_t records = 0;     // --records N; 0 none
    VEK::CSystemTime stopAt;  // --stop-at; invalid none
    std::string recoverFile;  // --recover: a working file to save as the data file --out, no run
    bool help = false;

    // Parses argv[1..]; false with error set on a bad or missing option.
    bool Parse(const std::vector<std::string>& args, std::string& error);
    // The stop time from --stop-at, else now + --span, else invalid.
    VEK::CSystemTime StopTime(const VEK::CSystemTime& now) const;
    static const char* Usage();
};
