#pragma once
// Number and byte text forms, independent of the process locale (Qt sets the user's locale
// in the C library at start-up, which would turn decimal points into commas for printf/strtod).
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace VEK {

// C integer syntax: leading blanks, optional sign, "0x" hexadecimal, leading "0" octal, else
// decimal; reading stops at the first character that does not fit; no digit gives 0.
// Values beyond 64 bits saturate.
int64_t ParseCInteger(std::string_view text);
// Leading blanks, optional sign, decimal digits up to the first non-digit; no digit gives 0.
int64_t ParseLeadingDecimal(std::string_view text);
// Whole text must be a decimal integer (optional sign, surrounding blanks allowed).
std::optional<int64_t> ParseWholeDecimal(std::string_view text);
// Whole text must be a decimal number with optional fraction and exponent.
std::optional<double> ParseWholeDouble(std::string_view text);
// Fixed-point text with the given number of decimals, "." as decimal point.
std::string FormatFixed(double value, int decimals);
// A count of tenths (decimals 1), hundredths (2) ... as exact decimal text: 1234 with 2 decimals is
// "12.34", -5 with 1 is "-0.5".
std::string FormatScaled(int64_t value, int decimals);

// Hex text: blanks, tabs, CR, LF, '-' and '_' are skipped; 0-9, A-F, a-f are digits; any other
// character ends the text. Digits pair from the left; with an odd count the first digit alone
// forms the first byte. At most maxBytes bytes are produced.
std::vector<uint8_t> DecodeHexText(std::string_view text, size_t maxBytes = SIZE_MAX);
// Two upper-case hex digits per byte, no separators.
std::string EncodeHexText(const uint8_t* bytes, size_t size);

}  // namespace VEK
