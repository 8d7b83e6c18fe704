#pragma once
#include <string>
#include <string_view>

namespace VEK {

// Text file encoding: the application writes UTF-8 without BOM; it reads UTF-8 (BOM stripped)
// and CP932 as written by Windows installations.
bool IsValidUtf8(std::string_view bytes);
// Converts CP932 bytes to UTF-8; invalid sequences become U+FFFD.
std::string Cp932ToUtf8(std::string_view bytes);
// Text without a BOM that is CP932 rather than UTF-8: not valid UTF-8, or valid only by chance,
// every byte outside ASCII being one of a pair of half-width katakana codes (A1..DF) that happens
// to form a two-byte UTF-8 character ("ﾃｽ" is C3 BD, "ý" in UTF-8). Decided on the whole text.
bool IsCp932Text(std::string_view bytes);
// BOM stripped, then UTF-8 as is or CP932 converted: with a BOM the text is UTF-8 when it is valid
// UTF-8; without one, CP932 when IsCp932Text says so.
std::string DecodeTextBytes(std::string_view bytes);

}  // namespace VEK
