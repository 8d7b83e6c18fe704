#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// Command line of hollowmere-plot: DATA.csv -o graph.png [--width W --height H --time-div NAME
// --temp-div N --start RECORD --cursor RECORD].
struct TPlotOptions {
    std::string dataFile;
    std::string outFile;  // -o
    int width = 1000;     // the graph area's size in pixels
    int height = 600;
    std::string timeDiv;             // a time/div name ("10sec"); empty: the file's
    std::string tempDiv;             // degrees per division ("10"); empty: the file's
    std::optional<uint32_t> start;   // record at the left edge; none: the file's
    std::optional<uint32_t> cursor;  // record under the cursor; none: no cursor
    bool help = false;

    // Parses argv[1..]; false with error set on a bad, unknown or missing option.
    bool Parse(const std::vector<std::string>& args, std::string& error);
    static const char* Usage();
};
