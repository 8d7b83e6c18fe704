// Feeds arbitrary command lines (arguments separated by NUL bytes) to hollowmere-plot's option
// parser. What it accepts names a file and a picture, with sizes and scales the renderer takes.
#include <cstdint>
#include <string>

#include "FuzzCheck.h"
#include "display/GraphScaleNames.h"
#include "plot/PlotOptions.h"

using fuzz::Require;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    TPlotOptions options;
    std::string error;
    const bool ok = options.Parse(fuzz::Arguments(data, size), error);
    Require(ok == error.empty());
    if (!ok || options.help)
        return 0;
    Require(!options.dataFile.empty() && !options.outFile.empty());
    Require(options.width >= 10 && options.width <= 10000 && options.height >= 10 && options.height <= 10000);
    Require(options.timeDiv.empty() || TimeDivIndex(options.timeDiv) != 0);
    Require(options.tempDiv.empty() || TempDivIndex(options.tempDiv) != 0);
    return 0;
}
