#include "data/Reading.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

int16_t TemperatureToTenths(double temperature) {
    if (!std::isfinite(temperature) || temperature < -200.0 || temperature > 1300.0)
        return kReadingOutOfRange;
    const double tenths = 10.0 * temperature;
    const double rounded = tenths >= 0 ? std::floor(tenths + 0.5) : -std::floor(0.5 - tenths);
    return static_cast<int16_t>(rounded);
}

double TenthsToTemperature(int16_t tenths) {
    return IsValidReading(tenths) ? tenths / 10.0 : kInvalidTemperature;
}

std::string FormatReading(int16_t tenths, bool signedForm) {
    if (tenths == kReadingLost)
        return "Lost";
    if (tenths == kReadingOutOfRange)
        return "Out Of Range";
    const char* sign = tenths < 0 ? "-" : (signedForm && tenths > 0 ? "+" : "");
    const int magnitude = std::abs(static_cast<int>(tenths));
    char text[24];
    std::snprintf(text, sizeof text, signedForm ? "%s%d.%d " : "%s%d.%d", sign, magnitude / 10,
                  magnitude % 10);
    return text;
}
