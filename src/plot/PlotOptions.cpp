#include "plot/PlotOptions.h"

#include "display/GraphScaleNames.h"
#include "support/NumberText.h"

namespace {

// The area's sides: enough for the ten divisions, small enough for the layers' memory.
constexpr int64_t kMinSide = 10;
constexpr int64_t kMaxSide = 10000;

bool ParseNumber(const std::string& text, int64_t minimum, int64_t maximum, int64_t& value) {
    const std::optional<int64_t> parsed = VEK::ParseWholeDecimal(text);
    if (!parsed || *parsed < minimum || *parsed > maximum)
        return false;
    value = *parsed;
    return true;
}

}  // namespace

const char* TPlotOptions::Usage() {
    return "usage: hollowmere-plot DATA.csv -o graph.png [--width W] [--height H] [--time-div NAME]\n"
           "                       [--temp-div N] [--start RECORD] [--cursor RECORD]\n"
           "Draws the graph of a measurement data file as the application shows it.\n"
           "  --width, --height  graph area in pixels, 10 to 10000 (default 1000 x 600)\n"
           "  --time-div NAME    time per division, 1sec 2sec 5sec 10sec 20sec 30sec 1min 2min 5min\n"
           "                     10min 20min 30min 1hour (default: the file's)\n"
           "  --temp-div N       degrees per division, 1 2 5 10 20 50 100 200 (default: the file's)\n"
           "  --start RECORD     record at the left edge, from 0 (default: the file's)\n"
           "  --cursor RECORD    the cursor line on this record\n";
}

bool TPlotOptions::Parse(const std::vector<std::string>& args, std::string& error) {
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& option = args[i];
        if (option == "--help" || option == "-h") {
            help = true;
            return true;
        }
        if (option.empty() || option[0] != '-') {
            if (!dataFile.empty()) {
                error = "more than one data file: " + option;
                return false;
            }
            dataFile = option;
            continue;
        }
        if (i + 1 >= args.size()) {
            error = "unknown option or missing value: " + option;
            return false;
        }
        const std::string& value = args[++i];
        int64_t number = 0;
        bool ok = true;
        if (option == "-o" || option == "--output") {
            outFile = value;
        } else if (option == "--width" || option == "--height") {
            ok = ParseNumber(value, kMinSide, kMaxSide, number);
            (option == "--width" ? width : height) = static_cast<int>(number);
        } else if (option == "--time-div") {
            ok = TimeDivIndex(value) != 0;
            timeDiv = value;
        } else if (option == "--temp-div") {
            ok = ParseNumber(value, 1, 200, number) && TempDivIndex(value) != 0;
            tempDiv = value;
        } else if (option == "--start" || option == "--cursor") {
            ok = ParseNumber(value, 0, UINT32_MAX, number);
            (option == "--start" ? start : cursor) = static_cast<uint32_t>(number);
        } else {
            error = "unknown option: " + option;
            return false;
        }
        if (!ok) {
            error = "bad value for " + option + ": " + value;
            return false;
        }
    }
    if (dataFile.empty() || outFile.empty()) {
        error = "a data file and -o graph.png are required";
        return false;
    }
    return true;
}
