#pragma once
#include <string>
#include <string_view>

namespace VEK {

// Text file encoding: the application writes UTF-8 without BOM; it reads UTF-8 (BOM stripped)
// and, for bytes that are not valid UTF-8, CP932 as written by Windows installations.
bool IsValidUtf8(std::string_view bytes);
// Converts CP932 bytes to UTF-8; invalid sequences become U+FFFD.
std::string Cp932ToUtf8(std::string_view bytes);
// BOM stripped, then UTF-8 as is or CP932 converted.
std::string DecodeTextBytes(std::string_view bytes);

}  // namespace VEK
