// hollowmere-stats: the statistics of a span of a measurement data file as CSV on standard output.
#include <cstdio>
#include <string>
#include <vector>

#include "stats/DataFileStatistics.h"
#include "stats/StatsOptions.h"

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    TStatsOptions options;
    std::string error;
    if (!options.Parse(args, error)) {
        std::fprintf(stderr, "hollowmere-stats: %s\n%s", error.c_str(), TStatsOptions::Usage());
        return 2;
    }
    if (options.help) {
        std::fputs(TStatsOptions::Usage(), stdout);
        return 0;
    }
    std::string csv;
    if (!DataFileStatistics(options, csv, error)) {
        std::fprintf(stderr, "hollowmere-stats: %s\n", error.c_str());
        return 1;
    }
    // A full disk or a closed pipe must not pass for a complete table.
    if (std::fwrite(csv.data(), 1, csv.size(), stdout) != csv.size() || std::fflush(stdout) != 0) {
        std::fprintf(stderr, "hollowmere-stats: cannot write the table\n");
        return 1;
    }
    return 0;
}
