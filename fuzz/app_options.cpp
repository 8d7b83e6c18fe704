// Feeds arbitrary command lines (arguments separated by NUL bytes) to hollowmere's option parser.
#include <algorithm>
#include <cstdint>
#include <string>

#include "FuzzCheck.h"
#include "app/AppOptions.h"

using fuzz::Require;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::vector<std::string> args = fuzz::Arguments(data, size);
    TAppOptions options;
    std::string error;
    const bool ok = options.Parse(args, error);
    Require(ok == error.empty());
    const auto given = [&](const char* option) {
        return std::find(args.begin(), args.end(), option) != args.end();
    };
    // --help and --version win wherever they stand; otherwise only --simulate is taken.
    Require(options.help == (!options.version && (given("--help") || given("-h"))));
    Require(options.version == (!options.help && given("--version")));
    if (!options.help && !options.version) {
        Require(ok == std::all_of(args.begin(), args.end(),
                                  [](const std::string& a) { return a == "--simulate"; }));
        Require(options.simulate == (ok && !args.empty()));
    }
    return 0;
}
