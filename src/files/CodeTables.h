#pragma once
#include <cstdint>
#include <string>

namespace VEK {

// Sampling-rate codes 1..16 ("100msec" .. "1hour"); other codes have an empty name.
std::string SamplingRateName(int code);
// Tries codes 1..16 in order, ignoring case; 0 when no name matches.
int SamplingRateCode(const std::string& name);

// 1 "K", 2 "T", 3 "J", others "unknown(0xNN)".
std::string ThermocoupleTypeName(int32_t code);
// First character K, T or J (exact upper case); anything else gives 1 (K).
int32_t ThermocoupleTypeFromText(const std::string& text);
// 0 "deg C", 1 "deg F", others "*".
std::string TemperatureUnitName(uint32_t unit);

}  // namespace VEK
