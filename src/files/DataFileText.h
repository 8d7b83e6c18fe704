#pragma once
// Text forms of the measurement data file shared by its writer and readers.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "support/SystemTime.h"

namespace VEK {

// "hh:mm:ss,ms" with at least two digits each; the hours are not wrapped.
std::string FormatTimeOffset(uint64_t milliseconds);
// TIME OFFSET fields "h:m:s" and "ms" in milliseconds; negative parts count as 0 and a value too
// large for 64 bits saturates.
uint64_t ParseTimeOffset(std::string_view hoursMinutesSeconds, std::string_view milliseconds);
// The compact text form of a time: "-", ":", "/", ".", "'" and blanks are dropped, and the digits
// give year (4), month, day, hour, minute, second (2 each) and milliseconds (3); missing digits are
// 0 and the day of the week is 0.
CSystemTime ParseFileTime(std::string_view text);
// A channel field of a data row: no reading for an empty field or one beginning with "L", Out Of
// Range for one beginning with "O", else the leading decimal number (nothing readable is 0) in
// tenths.
std::optional<int16_t> ParseReadingField(std::string_view field);

}  // namespace VEK
