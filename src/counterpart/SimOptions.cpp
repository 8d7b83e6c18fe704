#include "counterpart/SimOptions.h"

#include <cmath>
#include <optional>

#include "support/NumberText.h"

namespace {

// Decimal, or hexadecimal with "0x" after an optional sign.
std::optional<int64_t> ParseInteger(const std::string& text) {
    if (std::optional<int64_t> value = VEK::ParseWholeDecimal(text))
        return value;
    size_t start = text.size() > 0 && (text[0] == '-' || text[0] == '+') ? 1 : 0;
    if (text.compare(start, 2, "0x") != 0 && text.compare(start, 2, "0X") != 0)
        return std::nullopt;
    if (text.size() == start + 2 ||
        text.find_first_not_of("0123456789abcdefABCDEF", start + 2) != std::string::npos)
        return std::nullopt;
    if (text.size() - start - 2 > 15)
        return std::nullopt;
    const int64_t magnitude = VEK::ParseCInteger(text.substr(start));
    return text[0] == '-' ? -magnitude : magnitude;
}

std::optional<int64_t> ParseInRange(const std::string& text, int64_t low, int64_t high) {
    std::optional<int64_t> value = ParseInteger(text);
    if (!value || *value < low || *value > high)
        return std::nullopt;
    return value;
}

// "[UNITS=]VALUE"
bool ParseUnitValue(const std::string& text, int64_t low, int64_t high, TSimOptions::TUnitValue& result) {
    const size_t equals = text.find('=');
    result.units.clear();
    if (equals != std::string::npos && !ParseUnitList(text.substr(0, equals), result.units))
        return false;
    std::optional<int64_t> value =
        ParseInRange(equals == std::string::npos ? text : text.substr(equals + 1), low, high);
    if (!value)
        return false;
    result.value = static_cast<int32_t>(*value);
    return true;
}

void ApplyValues(const std::vector<TSimOptions::TUnitValue>& values, COppositeUnitTable& table,
                 int32_t TOppositeUnit::*field) {
    for (const TSimOptions::TUnitValue& value : values) {
        if (value.units.empty()) {
            for (int unit = 1; unit <= COppositeUnitTable::kUnits; ++unit)
                table.Unit(unit).*field = value.value;
        }
        for (int unit : value.units) table.Unit(unit).*field = value.value;
    }
}

}  // namespace

std::string SimUsage() {
    return "Usage: hollowmere-sim [options]\n"
           "Plays the dongle and its units on the application's development TCP port until interrupted.\n"
           "\n"
           "  --host HOST              application host (default localhost)\n"
           "  --port PORT              development port (default 50000)\n"
           "  --units LIST             units in use, e.g. 1-3,7 (default all 1-100)\n"
           "  --sensor [LIST=]V        cold-junction raw value, 1/32 degC, -8192..8191\n"
           "  --thermo [LIST=]V        thermocouple raw 24-bit count, -8388608..8388607 (0x.. allowed)\n"
           "  --jitter [LIST=]N        sensor jitter amplitude, 0..10000\n"
           "  --failure-rate [LIST=]P  percent of cycles a unit is not heard, 0..100\n"
           "  --period-factor F        periodic cycle = sampling period x F (default 1; 0.95 runs\n"
           "                           the units 5 % fast, as the counterpart window does)\n"
           "  --seed N                 seed of the random numbers (default: from the clock)\n"
           "  --replay FILE            send the readings of a data file instead\n"
           "  --auto-info              send information reports when a polling setting asks for them\n"
           "  --auto-stop-notice       send the polling stopped event when polling is turned off\n"
           "  --verbose                one line per frame in and out (on stderr)\n"
           "\n"
           "Timing: the units sample once a cycle, every sampling period x --period-factor, as the\n"
           "application's polling setting asks. Of the faults below, these change that on purpose:\n"
           "--drop-after stops the cycle with the connection until polling is turned on again, and\n"
           "--polling-error or --silent 0x17 never start it. The others change what goes over the\n"
           "link, never when the units sample.\n"
           "\n"
           "Faults, for testing the application:\n"
           "  --mode-error             answer mode settings with an error result\n"
           "  --polling-error          answer polling settings with an error result\n"
           "  --silent CODE            ignore commands with this code (repeatable, e.g. 0x2A)\n"
           "  --bad-checksum-every N   every N-th frame sent has a wrong checksum\n"
           "  --split N                cut every send into pieces of N bytes, 2 ms apart while the\n"
           "                           period has room, at once after that\n"
           "  --duplicate-reports      send every unit report twice\n"
           "  --drop-after N           drop the connection once after N measurement cycles\n"
           "  --help                   this text\n";
}

bool ParseUnitList(const std::string& text, std::vector<int>& units) {
    units.clear();
    size_t start = 0;
    while (start <= text.size()) {
        size_t comma = text.find(',', start);
        if (comma == std::string::npos)
            comma = text.size();
        const std::string part = text.substr(start, comma - start);
        const size_t dash = part.find('-', 1);
        std::optional<int64_t> first = ParseInRange(part.substr(0, dash), 1, COppositeUnitTable::kUnits);
        std::optional<int64_t> last =
            dash == std::string::npos ? first
                                      : ParseInRange(part.substr(dash + 1), 1, COppositeUnitTable::kUnits);
        if (!first || !last || *last < *first)
            return false;
        for (int64_t unit = *first; unit <= *last; ++unit) units.push_back(static_cast<int>(unit));
        start = comma + 1;
    }
    return !units.empty();
}

bool ParseSimOptions(const std::vector<std::string>& args, TSimOptions& options, std::string& error) {
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& name = args[i];
        auto value = [&]() -> std::optional<std::string> {
            if (i + 1 >= args.size())
                return std::nullopt;
            return args[++i];
        };
        auto fail = [&](const char* what) {
            error = name + ": " + what;
            return false;
        };
        auto unitValue = [&](std::vector<TSimOptions::TUnitValue>& list, int64_t low, int64_t high) {
            TSimOptions::TUnitValue parsed;
            std::optional<std::string> text = value();
            if (!text || !ParseUnitValue(*text, low, high, parsed))
                return fail("expects [LIST=]VALUE within range");
            list.push_back(parsed);
            return true;
        };
        auto count = [&](uint64_t low, uint64_t high, auto& target) {
            std::optional<std::string> text = value();
            std::optional<int64_t> parsed =
                text ? ParseInRange(*text, static_cast<int64_t>(low), static_cast<int64_t>(high))
                     : std::nullopt;
            if (!parsed)
                return fail("expects a number within range");
            target = static_cast<std::remove_reference_t<decltype(target)>>(*parsed);
            return true;
        };

        if (name == "--help" || name == "-h") {
            options.help = true;
        } else if (name == "--host") {
            std::optional<std::string> text = value();
            if (!text || text->empty())
                return fail("expects a host");
            options.host = *text;
        } else if (name == "--port") {
            if (!count(1, 65535, options.port))
                return false;
        } else if (name == "--units") {
            std::optional<std::string> text = value();
            if (!text || !ParseUnitList(*text, options.units))
                return fail("expects a list of units 1..100, e.g. 1-3,7");
        } else if (name == "--sensor") {
            if (!unitValue(options.sensors, TOppositeUnit::kSensorMin, TOppositeUnit::kSensorMax))
                return false;
        } else if (name == "--thermo") {
            if (!unitValue(options.thermocouples, TOppositeUnit::kThermoMin, TOppositeUnit::kThermoMax))
                return false;
        } else if (name == "--jitter") {
            if (!unitValue(options.jitters, 0, TOppositeUnit::kJitterMax))
                return false;
        } else if (name == "--failure-rate") {
            if (!unitValue(options.failureRates, 0, TOppositeUnit::kFailureRateMax))
                return false;
        } else if (name == "--period-factor") {
            std::optional<std::string> text = value();
            std::optional<double> factor = text ? VEK::ParseWholeDouble(*text) : std::nullopt;
            // Kept in steps of 1/10000: a factor that rounds to none of them would be 0.
            if (!factor || !(*factor > 0.0) || *factor > 10.0 || std::lround(*factor * 10000.0) < 1)
                return fail("expects a factor from 0.0001 up to 10");
            options.engine.periodFactor = static_cast<uint32_t>(std::lround(*factor * 10000.0));
        } else if (name == "--seed") {
            if (!count(0, UINT32_MAX, options.seed))
                return false;
            options.seedGiven = true;
        } else if (name == "--replay") {
            std::optional<std::string> text = value();
            if (!text || text->empty())
                return fail("expects a file");
            options.replayFile = *text;
        } else if (name == "--auto-info") {
            options.engine.autoInformation = true;
        } else if (name == "--auto-stop-notice") {
            options.engine.autoStopNotice = true;
        } else if (name == "--verbose" || name == "-v") {
            options.verbose = true;
        } else if (name == "--mode-error") {
            options.engine.modeError = true;
        } else if (name == "--polling-error") {
            options.engine.pollingError = true;
        } else if (name == "--silent") {
            uint8_t code = 0;
            if (!count(0, 255, code))
                return false;
            options.engine.silentCommands.insert(code);
        } else if (name == "--bad-checksum-every") {
            if (!count(1, UINT32_MAX, options.link.badChecksumEvery))
                return false;
        } else if (name == "--split") {
            if (!count(1, 4096, options.link.splitBytes))
                return false;
        } else if (name == "--duplicate-reports") {
            options.link.duplicateReports = true;
        } else if (name == "--drop-after") {
            if (!count(1, INT64_MAX, options.link.dropAfterCycles))
                return false;
        } else {
            error = "unknown option " + name;
            return false;
        }
    }
    return true;
}

void ApplySimOptions(const TSimOptions& options, COppositeEngine& engine) {
    COppositeUnitTable& table = engine.Units();
    table.SetDefaults();
    if (!options.units.empty()) {
        for (int unit = 1; unit <= COppositeUnitTable::kUnits; ++unit) table.Unit(unit).use = false;
        for (int unit : options.units) table.Unit(unit).use = true;
    }
    ApplyValues(options.sensors, table, &TOppositeUnit::sensor);
    ApplyValues(options.thermocouples, table, &TOppositeUnit::thermocouple);
    ApplyValues(options.jitters, table, &TOppositeUnit::jitter);
    ApplyValues(options.failureRates, table, &TOppositeUnit::failureRate);
    engine.SetOptions(options.engine);
}
