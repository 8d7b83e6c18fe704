#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// Command line of hollowmere-stats: DATA.csv [--from RECORD] [--to RECORD] [--channels LIST].
struct TStatsOptions {
    std::string dataFile;
    std::optional<uint32_t> from;   // none: the first record
    std::optional<uint32_t> to;     // none: the last record
    std::vector<int32_t> channels;  // ascending, each once; empty: every channel in use
    bool help = false;

    // Parses argv[1..]; false with error set on a bad, unknown or missing option.
    bool Parse(const std::vector<std::string>& args, std::string& error);
    static const char* Usage();
};

// "1-5,8": channel numbers 1 to 100 and ranges of them, comma-separated; ascending, each once.
// Nothing for an empty item, a number out of range or a range running backwards.
std::optional<std::vector<int32_t>> ParseChannelList(const std::string& text);
