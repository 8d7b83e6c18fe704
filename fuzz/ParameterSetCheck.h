#pragma once
// Checks of a parameter set read from settings the fuzzers made up.
#include "FuzzCheck.h"
#include "files/ParameterSet.h"

namespace fuzz {

// What ReadParameterSet promises whatever the settings hold.
inline void RequireSound(const VEK::TParameterSet& set) {
    Require(set.polling.RateCode() >= 1 && set.polling.RateCode() <= 13);
    for (int channel = 1; channel <= VEK::kChannelCount; ++channel) {
        Require((set.polling.UnitCode(channel) & TPollingSetting::kInfoWanted) != 0);
        Require(set.thermocoupleType[channel] >= 1 && set.thermocoupleType[channel] <= 3);
        Require(set.comment[channel].find_first_of("\r\n") == std::string::npos);
    }
    Require(set.commandTimeoutMs >= 10 && set.commandTimeoutMs <= 10000);
    Require(set.commandRetries <= 100);
}

// The set read back after it was written: the same, but for a comment holding a double quote
// followed by a comma, which the settings' field splitting cuts there (as it always has: files of
// other installations hold such values), and for what is never written.
inline void RequireReadBack(const VEK::TParameterSet& written, const VEK::TParameterSet& read) {
    for (int channel = 1; channel <= VEK::kChannelCount; ++channel) {
        Require(read.polling.UnitCode(channel) == written.polling.UnitCode(channel));
        Require(read.thermocoupleType[channel] == written.thermocoupleType[channel]);
        if (written.comment[channel].find("\",") == std::string::npos)
            Require(read.comment[channel] == written.comment[channel]);
    }
    Require(read.systemNumber == written.systemNumber);
    Require(read.visibleItemsSingle == written.visibleItemsSingle);
    Require(read.visibleItemsOnly == written.visibleItemsOnly);
    Require(read.temperatureUnit == written.temperatureUnit);
    Require(read.commandTimeoutMs == written.commandTimeoutMs);
    Require(read.commandRetries == written.commandRetries);
}

}  // namespace fuzz
