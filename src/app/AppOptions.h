#pragma once
// Command line of hollowmere, without Qt: it is read twice, before the application object exists
// (--help and --version need no window system) and after Qt has taken its own options out.
#include <string>
#include <vector>

struct TAppOptions {
    bool simulate = false;  // --simulate
    bool help = false;      // --help or -h, anywhere on the line
    bool version = false;   // --version, anywhere on the line

    // Parses argv[1..]. --help and --version win wherever they stand, the first of them given;
    // otherwise false with error set on an option other than --simulate.
    bool Parse(const std::vector<std::string>& args, std::string& error);
    static const char* Usage();
};
