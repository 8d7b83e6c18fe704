// Feeds arbitrary command lines (arguments separated by NUL bytes) to hollowmere-sim's option
// parser. What it accepts is within range and goes into the engine's unit table.
#include <algorithm>
#include <cstdint>
#include <string>

#include "FuzzCheck.h"
#include "counterpart/SimOptions.h"

namespace {

using fuzz::Require;

void RequireInRange(const std::vector<TSimOptions::TUnitValue>& values, int32_t low, int32_t high) {
    for (const TSimOptions::TUnitValue& value : values) {
        Require(value.value >= low && value.value <= high);
        for (int unit : value.units) Require(unit >= 1 && unit <= COppositeUnitTable::kUnits);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    TSimOptions options;
    std::string error;
    const bool ok = ParseSimOptions(fuzz::Arguments(data, size), options, error);
    Require(ok == error.empty());
    if (!ok)
        return 0;
    Require(!options.host.empty() && options.port >= 1);
    for (int unit : options.units) Require(unit >= 1 && unit <= COppositeUnitTable::kUnits);
    RequireInRange(options.sensors, TOppositeUnit::kSensorMin, TOppositeUnit::kSensorMax);
    RequireInRange(options.thermocouples, TOppositeUnit::kThermoMin, TOppositeUnit::kThermoMax);
    RequireInRange(options.jitters, 0, TOppositeUnit::kJitterMax);
    RequireInRange(options.failureRates, 0, TOppositeUnit::kFailureRateMax);
    Require(options.engine.periodFactor >= 1 && options.engine.periodFactor <= 100000);
    Require(options.link.splitBytes <= 4096);
    COppositeEngine engine(options.seed);
    ApplySimOptions(options, engine);
    for (int unit = 1; unit <= COppositeUnitTable::kUnits; ++unit) {
        const bool listed = options.units.empty() || std::find(options.units.begin(), options.units.end(),
                                                               unit) != options.units.end();
        Require(engine.Units().Unit(unit).use == listed);
    }
    return 0;
}
