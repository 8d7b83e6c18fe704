#pragma once
// The graph's scale tables: 13 times per division ("1sec" .. "1hour"), 8 temperatures per
// division (1 .. 200 degrees), and the texts of the read-outs.
#include <cstdint>
#include <string>

inline constexpr int32_t kTimeDivCount = 13;
inline constexpr int32_t kTempDivCount = 8;
// The scales of a fresh start, and of a setting or file that names none of the table's rows.
inline constexpr int32_t kDefaultTimeDiv = 4;  // "10sec"
inline constexpr int32_t kDefaultTempDiv = 4;  // 10 degrees

// Index 1..13; any other index has an empty name and 0 seconds.
std::string TimeDivName(int32_t index);
uint32_t TimeDivSeconds(int32_t index);
// Indices 1..13 tried in order, ignoring case; 0 when no name matches.
int32_t TimeDivIndex(const std::string& name);

// Index 1..8; any other index has the value 0.
int32_t TempDivValue(int32_t index);
// The leading decimal integer of the text (blanks and a sign allowed) matched against the eight
// values; 0 when none matches.
int32_t TempDivIndex(const std::string& text);
// The value and the unit's name, for example "10deg C".
std::string TempDivName(int32_t index, uint32_t unit);

// "%02d:%02d:%02d", hours not wrapped at 24.
std::string FormatElapsed(uint64_t seconds);
// "%02dh%02dm%02d.%dsec" of a time in milliseconds, hours not wrapped.
std::string FormatCursorTime(uint64_t milliseconds);
