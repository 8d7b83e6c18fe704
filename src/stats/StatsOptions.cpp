#include "stats/StatsOptions.h"

#include <algorithm>

#include "support/NumberText.h"

namespace {

constexpr int64_t kFirstChannel = 1;
constexpr int64_t kLastChannel = 100;

std::optional<int64_t> ParseChannel(const std::string& text) {
    // Digits only: no sign or blanks inside a list item.
    if (text.empty() || text.find_first_not_of("0123456789") != std::string::npos)
        return std::nullopt;
    const std::optional<int64_t> number = VEK::ParseWholeDecimal(text);
    if (!number || *number < kFirstChannel || *number > kLastChannel)
        return std::nullopt;
    return number;
}

}  // namespace

std::optional<std::vector<int32_t>> ParseChannelList(const std::string& text) {
    std::vector<int32_t> channels;
    size_t begin = 0;
    while (true) {
        const size_t comma = text.find(',', begin);
        const std::string item =
            text.substr(begin, comma == std::string::npos ? std::string::npos : comma - begin);
        const size_t dash = item.find('-');
        const std::optional<int64_t> first = ParseChannel(item.substr(0, dash));
        const std::optional<int64_t> last =
            dash == std::string::npos ? first : ParseChannel(item.substr(dash + 1));
        if (!first || !last || *first > *last)
            return std::nullopt;
        for (int64_t channel = *first; channel <= *last; ++channel)
            channels.push_back(static_cast<int32_t>(channel));
        if (comma == std::string::npos)
            break;
        begin = comma + 1;
    }
    std::sort(channels.begin(), channels.end());
    channels.erase(std::unique(channels.begin(), channels.end()), channels.end());
    return channels;
}

const char* TStatsOptions::Usage() {
    return "Usage: hollowmere-stats DATA.csv [--from RECORD] [--to RECORD] [--channels LIST]\n"
           "\n"
           "Prints the statistics of a span of a measurement data file as CSV: per channel the\n"
           "readings at both ends and their difference, the lowest and highest reading with the first\n"
           "record of each, the mean, the change per minute and the counts of valid and of missing\n"
           "(Lost, Out Of Range) readings, in the file's temperature unit.\n"
           "  --from RECORD    one end of the span, records counting from 0 (default: the first)\n"
           "  --to RECORD      the other end (default: the last record); it may lie before --from\n"
           "  --channels LIST  channels to report, such as 1-5,8 (default: every channel in use)\n"
           "\n"
           "Exit status: 0 done, 1 the file cannot be read or lacks a record or channel asked for,\n"
           "2 bad command line.\n";
}

bool TStatsOptions::Parse(const std::vector<std::string>& args, std::string& error) {
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
        bool ok = true;
        if (option == "--from" || option == "--to") {
            const std::optional<int64_t> record = VEK::ParseWholeDecimal(value);
            ok = record && *record >= 0 && *record <= UINT32_MAX;
            if (ok)
                (option == "--from" ? from : to) = static_cast<uint32_t>(*record);
        } else if (option == "--channels") {
            const std::optional<std::vector<int32_t>> list = ParseChannelList(value);
            ok = list.has_value();
            if (ok)
                channels = *list;
        } else {
            error = "unknown option: " + option;
            return false;
        }
        if (!ok) {
            error = "bad value for " + option + ": " + value;
            return false;
        }
    }
    if (dataFile.empty()) {
        error = "a data file is required";
        return false;
    }
    return true;
}
