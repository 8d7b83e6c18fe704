#pragma once
#include <bitset>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// Command line of hollowmere-plot: DATA.csv -o graph.png|graph.svg [--width W --height H
// --time-div NAME --fit --temp-div N --start RECORD --cursor RECORD --channels LIST].
struct TPlotOptions {
    std::string dataFile;
    std::string outFile;  // -o; SVG when the name ends in ".svg", PNG otherwise
    int width = 1000;     // the graph area's size in pixels
    int height = 600;
    std::string timeDiv;             // a time/div name ("10sec"); empty: the file's
    bool fit = false;                // the time scale that shows the whole run (from --start)
    std::string tempDiv;             // degrees per division ("10"); empty: the file's
    std::optional<uint32_t> start;   // record at the left edge; none: the file's
    std::optional<uint32_t> cursor;  // record under the cursor; none: no cursor
    // --channels 1-5,8: the channels drawn; none: every channel of the file.
    std::optional<std::bitset<101>> channels;
    bool help = false;

    // Parses argv[1..]; false with error set on a bad, unknown or missing option.
    bool Parse(const std::vector<std::string>& args, std::string& error);
    bool Svg() const;
    static const char* Usage();
};

// "1-5,8" into channels 1 to 100; false for anything else (an empty item, a channel out of range,
// a range backwards).
bool ParseChannelList(const std::string& text, std::bitset<101>& channels);
