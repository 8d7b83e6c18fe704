#include "counterpart/ReplaySample.h"

#include <cmath>

#include "counterpart/OppositeUnit.h"
#include "data/Reading.h"
#include "data/Thermocouple.h"

namespace {

TSampleValue FullScale() {
    return TSampleValue{0, kCountMax};
}

}  // namespace

TSampleValue ReplaySample(int16_t reading, uint32_t temperatureUnit, int32_t thermocoupleType) {
    if (!IsValidReading(reading))
        return FullScale();
    double celsius = TenthsToTemperature(reading);
    if (temperatureUnit == 1)
        celsius = (celsius - 32.0) / 1.8;
    const double sensor = std::trunc(celsius * 32.0);
    if (sensor >= TOppositeUnit::kSensorMin && sensor <= TOppositeUnit::kSensorMax)
        return TSampleValue{static_cast<int32_t>(sensor), 0};
    // Over a 0 degC cold junction, whose EMF is 0 in every table.
    double millivolts = 0;
    if (!ThermocoupleEmf(thermocoupleType, celsius, millivolts))
        return FullScale();
    return TSampleValue{0, static_cast<int32_t>(std::lround(millivolts / kMillivoltsPerCount))};
}
