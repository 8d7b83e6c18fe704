#include "support/NumberText.h"

#include <charconv>
#include <cmath>
#include <limits>

namespace VEK {
namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

int DigitValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return 99;
}

// Digits of the given base from pos; saturates at the 64-bit limits.
int64_t AccumulateDigits(std::string_view text, size_t pos, int base, bool negative) {
    uint64_t limit = negative ? uint64_t(std::numeric_limits<int64_t>::max()) + 1
                              : uint64_t(std::numeric_limits<int64_t>::max());
    uint64_t value = 0;
    bool overflow = false;
    for (; pos < text.size(); ++pos) {
        int d = DigitValue(text[pos]);
        if (d >= base)
            break;
        if (value > (limit - d) / base) {
            overflow = true;
            value = limit;
        } else if (!overflow) {
            value = value * base + d;
        }
    }
    if (negative)
        return value == limit ? std::numeric_limits<int64_t>::min() : -static_cast<int64_t>(value);
    return static_cast<int64_t>(value);
}

size_t SkipSign(std::string_view text, size_t pos, bool& negative) {
    negative = false;
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) {
        negative = text[pos] == '-';
        ++pos;
    }
    return pos;
}

size_t SkipBlanks(std::string_view text) {
    size_t pos = 0;
    while (pos < text.size() && IsBlank(text[pos])) ++pos;
    return pos;
}

std::string_view Trim(std::string_view text) {
    size_t b = SkipBlanks(text);
    size_t e = text.size();
    while (e > b && IsBlank(text[e - 1])) --e;
    return text.substr(b, e - b);
}

}  // namespace

int64_t ParseCInteger(std::string_view text) {
    bool negative;
    size_t pos = SkipSign(text, SkipBlanks(text), negative);
    int base = 10;
    if (pos + 1 < text.size() && text[pos] == '0' && (text[pos + 1] == 'x' || text[pos + 1] == 'X') &&
        pos + 2 < text.size() && DigitValue(text[pos + 2]) < 16) {
        base = 16;
        pos += 2;
    } else if (pos < text.size() && text[pos] == '0') {
        base = 8;
    }
    return AccumulateDigits(text, pos, base, negative);
}

int64_t ParseLeadingDecimal(std::string_view text) {
    bool negative;
    size_t pos = SkipSign(text, SkipBlanks(text), negative);
    return AccumulateDigits(text, pos, 10, negative);
}

std::optional<int64_t> ParseWholeDecimal(std::string_view text) {
    text = Trim(text);
    if (!text.empty() && text[0] == '+')
        text.remove_prefix(1);
    int64_t value = 0;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size() || text.empty())
        return std::nullopt;
    return value;
}

std::optional<double> ParseWholeDouble(std::string_view text) {
    text = Trim(text);
    if (!text.empty() && text[0] == '+')
        text.remove_prefix(1);
    double value = 0;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size() || text.empty())
        return std::nullopt;
    return value;
}

std::string FormatFixed(double value, int decimals) {
    char buffer[400];
    auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
    if (ec != std::errc())
        return std::isnan(value) ? "nan" : (value < 0 ? "-inf" : "inf");
    return std::string(buffer, end);
}

std::string FormatScaled(int64_t value, int decimals) {
    // Unsigned: the magnitude of INT64_MIN does not fit the signed type.
    const uint64_t magnitude = value < 0 ? 0 - static_cast<uint64_t>(value) : static_cast<uint64_t>(value);
    std::string digits = std::to_string(magnitude);
    if (decimals <= 0)
        return (value < 0 ? "-" : "") + digits;
    const auto width = static_cast<size_t>(decimals);
    if (digits.size() <= width)
        digits.insert(0, width + 1 - digits.size(), '0');
    digits.insert(digits.size() - width, 1, '.');
    return (value < 0 ? "-" : "") + digits;
}

std::vector<uint8_t> DecodeHexText(std::string_view text, size_t maxBytes) {
    std::string digits;
    for (char c : text) {
        if (c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '-' || c == '_')
            continue;
        if (DigitValue(c) >= 16)
            break;
        digits += c;
    }
    std::vector<uint8_t> bytes;
    size_t pos = 0;
    if (digits.size() % 2 == 1) {
        bytes.push_back(static_cast<uint8_t>(DigitValue(digits[0])));
        pos = 1;
    }
    for (; pos + 1 < digits.size() && bytes.size() < maxBytes; pos += 2) {
        bytes.push_back(static_cast<uint8_t>(DigitValue(digits[pos]) * 16 + DigitValue(digits[pos + 1])));
    }
    if (bytes.size() > maxBytes)
        bytes.resize(maxBytes);
    return bytes;
}

std::string EncodeHexText(const uint8_t* bytes, size_t size) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string text;
    text.reserve(size * 2);
    for (size_t i = 0; i < size; ++i) {
        text += kDigits[bytes[i] >> 4];
        text += kDigits[bytes[i] & 15];
    }
    return text;
}

}  // namespace VEK
