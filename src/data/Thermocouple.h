#pragma once
#include <cstdint>

// Thermocouple type codes of the units' channels.
inline constexpr int32_t kThermocoupleK = 1;
inline constexpr int32_t kThermocoupleT = 2;
inline constexpr int32_t kThermocoupleJ = 3;

// Converter counts of the units' 24-bit thermocouple readings: 2^-17 mV each.
inline constexpr double kMillivoltsPerCount = 1.0 / 131072.0;
// The converter's full-scale counts: a reading there is saturated.
inline constexpr int32_t kCountMax = 0x7FFFFF;
inline constexpr int32_t kCountMin = -0x800000;

// Temperature in degC of a thermocouple reading with cold-junction compensation: the cold-junction
// EMF from the type's table plus count x gain minus the unit's offset (both in counts), converted
// back through the table. False for an unknown type, a cold junction or EMF not strictly inside the
// table, or a count at either end of the converter's range (a saturated converter measures nothing).
bool ThermocoupleToTemperature(int32_t typeCode, double coldJunctionCelsius, int32_t count,
                               int32_t offsetCounts, double gain, double& celsius);
// EMF in mV of the type at a temperature strictly inside its table, interpolated between whole
// degrees as the conversion does; false for an unknown type or a temperature at or beyond its ends.
bool ThermocoupleEmf(int32_t typeCode, double celsius, double& millivolts);
