#include "protocol/RecordText.h"

#include <cstdarg>
#include <cstdio>

#include "support/NumberText.h"

namespace QNL::RecordText {

std::string Format(const char* format, ...) {
    va_list args;
    va_start(args, format);
    va_list copy;
    va_copy(copy, args);
    const int needed = std::vsnprintf(nullptr, 0, format, copy);
    va_end(copy);
    std::string text;
    if (needed > 0) {
        text.resize(static_cast<size_t>(needed) + 1);
        std::vsnprintf(text.data(), text.size(), format, args);
        text.resize(static_cast<size_t>(needed));
    }
    va_end(args);
    return text;
}

std::string HexBytes(const uint8_t* bytes, size_t count) {
    static const char kDigits[] = "0123456789ABCDEF";
    std::string text;
    text.reserve(count * 3);
    for (size_t i = 0; i < count; ++i) {
        text += kDigits[bytes[i] >> 4];
        text += kDigits[bytes[i] & 0x0F];
        text += ' ';
    }
    return text;
}

uint8_t ByteValue(const std::string& text) {
    return static_cast<uint8_t>(VEK::ParseCInteger(text) & 0xFF);
}

std::string Decimal(uint8_t value) {
    return std::to_string(value);
}

std::string ValueLine(const char* label, const char* text, uint8_t value) {
    return Format("%s = %s(%d)", label, text, value);
}

}  // namespace QNL::RecordText
