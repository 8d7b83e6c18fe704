#pragma once
#include <cstdint>

// Temperature units of the readings (the parameter set's and a data file's code).
inline constexpr uint32_t kTemperatureUnitCelsius = 0;
inline constexpr uint32_t kTemperatureUnitFahrenheit = 1;
