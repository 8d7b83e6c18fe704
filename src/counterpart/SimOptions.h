#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "counterpart/OppositeEngine.h"
#include "counterpart/OppositeSession.h"

// The options of the hollowmere-sim command.
struct TSimOptions {
    // The periodic cycle's factor (in 1/10000) when --period-factor is not given.
    static constexpr uint32_t kSamplingPeriodFactor = 10000;
    static COppositeEngine::TOptions SamplingPeriodEngine() {
        COppositeEngine::TOptions engine;
        engine.periodFactor = kSamplingPeriodFactor;
        return engine;
    }

    // A value for some units (all when units is empty), applied in the order given.
    struct TUnitValue {
        std::vector<int> units;
        int32_t value = 0;
    };

    std::string host = "localhost";
    uint16_t port = 50000;
    std::vector<int> units;  // units in use; empty: all
    std::vector<TUnitValue> sensors;
    std::vector<TUnitValue> thermocouples;
    std::vector<TUnitValue> jitters;
    std::vector<TUnitValue> failureRates;
    bool seedGiven = false;
    uint32_t seed = 0;
    std::string replayFile;
    bool verbose = false;
    bool help = false;
    // The units sample at the sampling period itself, so that record times keep to the clock;
    // --period-factor 0.95 gives the counterpart window's faster cycle.
    COppositeEngine::TOptions engine = SamplingPeriodEngine();
    COppositeSession::TLinkFaults link;
};

std::string SimUsage();
// False with a message for an unknown option or a value out of range.
bool ParseSimOptions(const std::vector<std::string>& args, TSimOptions& options, std::string& error);
// "1-3,7" -> 1 2 3 7; false for anything outside 1..100 or malformed.
bool ParseUnitList(const std::string& text, std::vector<int>& units);
// Units in use and their values into the engine's table.
void ApplySimOptions(const TSimOptions& options, COppositeEngine& engine);
