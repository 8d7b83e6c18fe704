#include "plot/PlotOptions.h"

#include <strings.h>

#include <algorithm>

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

bool ParseChannelList(const std::string& text, std::bitset<101>& channels) {
    channels.reset();
    size_t from = 0;
    while (from <= text.size()) {
        const size_t comma = std::min(text.find(',', from), text.size());
        const std::string item = text.substr(from, comma - from);
        const size_t dash = item.find('-');
        int64_t first = 0;
        int64_t last = 0;
        if (!ParseNumber(item.substr(0, dash), 1, 100, first))
            return false;
        last = first;
        if (dash != std::string::npos && (!ParseNumber(item.substr(dash + 1), 1, 100, last) || last < first))
            return false;
        for (int64_t channel = first; channel <= last; ++channel) channels.set(static_cast<size_t>(channel));
        from = comma + 1;
    }
    return channels.any();
}

bool TPlotOptions::Svg() const {
    return outFile.size() >= 4 && strcasecmp(outFile.c_str() + outFile.size() - 4, ".svg") == 0;
}

const char* TPlotOptions::Usage() {
    return "usage: hollowmere-plot DATA.csv -o graph.png|graph.svg [--width W] [--height H]\n"
           "                       [--time-div NAME | --fit] [--temp-div N] [--start RECORD]\n"
           "                       [--cursor RECORD] [--channels LIST]\n"
           "Draws the graph of a measurement data file as the application shows it, with the\n"
           "temperature scale, the clock times, a legend and a title line; SVG when the output's\n"
           "name ends in .svg, PNG otherwise.\n"
           "  --width, --height  graph area in pixels, 10 to 10000 (default 1000 x 600)\n"
           "  --time-div NAME    time per division, 1sec 2sec 5sec 10sec 20sec 30sec 1min 2min 5min\n"
           "                     10min 20min 30min 1hour (default: the file's)\n"
           "  --fit              the time per division that shows the whole run (from --start);\n"
           "                     the default when the file's own view would cut the run\n"
           "  --temp-div N       degrees per division, 1 2 5 10 20 50 100 200 (default: the file's)\n"
           "  --start RECORD     record at the left edge, from 0 (default: the file's)\n"
           "  --cursor RECORD    the cursor line on this record\n"
           "  --channels LIST    the channels drawn, for example 1-5,8 (default: all of the file's)\n"
           "Exit status: 0 done, 1 the file cannot be read, holds no such record or channel, or the\n"
           "picture cannot be written, 2 bad command line.\n";
}

bool TPlotOptions::Parse(const std::vector<std::string>& args, std::string& error) {
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& option = args[i];
        if (option == "--help" || option == "-h") {
            help = true;
            return true;
        }
        if (option == "--fit") {
            fit = true;
            continue;
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
        } else if (option == "--channels") {
            std::bitset<101> list;
            ok = ParseChannelList(value, list);
            channels = list;
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
    if (fit && !timeDiv.empty()) {
        error = "--fit chooses the time per division: give it or --time-div, not both";
        return false;
    }
    return true;
}
