#pragma once
// A stored reading: int16 tenths of a degree of the display unit, with two markers.
#include <cstdint>
#include <limits>
#include <string>

inline constexpr int16_t kReadingLost = -32768;        // no reading for this record
inline constexpr int16_t kReadingOutOfRange = -32767;  // a report arrived but gave no valid temperature
// A temperature whose computation failed.
inline constexpr double kInvalidTemperature = std::numeric_limits<double>::infinity();

// Not finite, or outside -200..1300 in the display unit: Out Of Range; otherwise tenths rounded half
// away from zero.
int16_t TemperatureToTenths(double temperature);
// Markers give the invalid temperature.
double TenthsToTemperature(int16_t tenths);
constexpr bool IsValidReading(int16_t tenths) {
    return tenths != kReadingLost && tenths != kReadingOutOfRange;
}
// "Lost", "Out Of Range", or "-12.3" (plain, data files) / "+12.3 " (signed, lists and logs).
std::string FormatReading(int16_t tenths, bool signedForm);
