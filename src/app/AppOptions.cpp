#include "app/AppOptions.h"

namespace {

constexpr const char* kUsage =
    "Usage: hollowmere [--simulate]\n"
    "Shows and records the temperatures of the wireless thermocouple units that report to the USB\n"
    "dongle, saves them as CSV data files and loads such files.\n"
    "  --simulate   play the dongle and its units inside the application (no hardware, no settings change)\n"
    "  --help       this text\n"
    "  --version    the program's version\n";

}  // namespace

bool TAppOptions::Parse(const std::vector<std::string>& args, std::string& error) {
    for (const std::string& arg : args) {
        if (arg == "--help" || arg == "-h" || arg == "--version") {
            (arg == "--version" ? version : help) = true;
            return true;
        }
    }
    for (const std::string& arg : args) {
        if (arg != "--simulate") {
            error = "unknown option " + arg;
            return false;
        }
    }
    simulate = !args.empty();
    return true;
}

const char* TAppOptions::Usage() {
    return kUsage;
}
