#include "counterpart/ReplaySample.h"

#include <cmath>

#include "counterpart/OppositeUnit.h"
#include "data/Reading.h"
#include "data/Thermocouple.h"
#include "data/ThermocoupleTables.h"

namespace {

constexpr int kTypeKRows = static_cast<int>(sizeof kTypeKMicrovolts / sizeof kTypeKMicrovolts[0]);

TSampleValue Saturated() {
    return TSampleValue{0, kCountMax};
}

}  // namespace

TSampleValue ReplaySample(int16_t reading, uint32_t temperatureUnit) {
    if (!IsValidReading(reading))
        return Saturated();
    double celsius = TenthsToTemperature(reading);
    if (temperatureUnit == 1)
        celsius = (celsius - 32.0) / 1.8;
    const double sensor = std::trunc(celsius * 32.0);
    if (sensor >= TOppositeUnit::kSensorMin && sensor <= TOppositeUnit::kSensorMax)
        return TSampleValue{static_cast<int32_t>(sensor), 0};
    // Rows one degree apart; strictly inside the table, as the receiver converts.
    const double position = celsius - kTypeKFirstCelsius;
    if (position <= 0.0 || position >= kTypeKRows - 1)
        return Saturated();
    const int row = static_cast<int>(position);
    const double microvolts =
        kTypeKMicrovolts[row] + (kTypeKMicrovolts[row + 1] - kTypeKMicrovolts[row]) * (position - row);
    return TSampleValue{0, static_cast<int32_t>(std::lround(microvolts / 1000.0 / kMillivoltsPerCount))};
}
