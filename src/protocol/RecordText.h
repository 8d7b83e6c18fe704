#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// Text helpers shared by the packet records' description lines and editable value strings.
namespace QNL::RecordText {

// printf-style formatting into a string (the C locale's digits only: %d, %s, %02X).
std::string Format(const char* format, ...) __attribute__((format(printf, 1, 2)));
// "%02X " for each of the count bytes.
std::string HexBytes(const uint8_t* bytes, size_t count);
// A C integer with base prefix ("0x" hex, leading "0" octal, else decimal; empty reads 0),
// cut to its low 8 bits.
uint8_t ByteValue(const std::string& text);
// Decimal text of a byte.
std::string Decimal(uint8_t value);
// "<label> = <text>(<value>)".
std::string ValueLine(const char* label, const char* text, uint8_t value);

}  // namespace QNL::RecordText
