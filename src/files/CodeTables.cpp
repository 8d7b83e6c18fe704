#include "files/CodeTables.h"

#include <strings.h>

#include <cstdio>

#include "data/SamplingRate.h"
#include "data/TemperatureUnit.h"
#include "data/Thermocouple.h"

namespace VEK {

std::string SamplingRateName(int code) {
    const TSamplingRate* rate = code > 0 ? FindSamplingRate(static_cast<uint32_t>(code)) : nullptr;
    return rate != nullptr ? rate->name : "";
}

int SamplingRateCode(const std::string& name) {
    for (const TSamplingRate& rate : kSamplingRates) {
        if (strcasecmp(name.c_str(), rate.name) == 0)
            return static_cast<int>(rate.code);
    }
    return 0;
}

std::string ThermocoupleTypeName(int32_t code) {
    switch (code) {
        case kThermocoupleK:
            return "K";
        case kThermocoupleT:
            return "T";
        case kThermocoupleJ:
            return "J";
    }
    char text[32];
    std::snprintf(text, sizeof text, "unknown(0x%02X)", static_cast<unsigned>(code));
    return text;
}

int32_t ThermocoupleTypeFromText(const std::string& text) {
    if (text.empty())
        return kThermocoupleK;
    switch (text[0]) {
        case 'T':
            return kThermocoupleT;
        case 'J':
            return kThermocoupleJ;
        default:
            return kThermocoupleK;
    }
}

std::string TemperatureUnitName(uint32_t unit) {
    switch (unit) {
        case kTemperatureUnitCelsius:
            return "deg C";
        case kTemperatureUnitFahrenheit:
            return "deg F";
    }
    return "*";
}

}  // namespace VEK
