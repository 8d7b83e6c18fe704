#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "support/NumberText.h"

namespace VEK {

// A settings value with its kind letter: 'n' none (absent; writing it deletes the key),
// 's' string, 'p' text, 'd' 32-bit unsigned, 'i' 64-bit signed, 'b' binary.
class AccessorValue {
public:
    AccessorValue() = default;
    static AccessorValue None() { return AccessorValue('n', {}); }
    static AccessorValue String(std::string text) { return AccessorValue('s', std::move(text)); }
    static AccessorValue Text(std::string text) { return AccessorValue('p', std::move(text)); }
    static AccessorValue Dword(uint32_t value) { return AccessorValue('d', std::to_string(value)); }
    static AccessorValue Int64(int64_t value) { return AccessorValue('i', std::to_string(value)); }
    static AccessorValue Binary(const std::vector<uint8_t>& bytes) {
        return AccessorValue('b', EncodeHexText(bytes.data(), bytes.size()));
    }

    char Kind() const { return m_kind; }
    bool IsNone() const { return m_kind == 'n'; }
    // The text form written to a file: the text itself, decimal numbers, or two upper-case hex
    // digits per byte.
    const std::string& TextForm() const { return m_text; }

private:
    AccessorValue(char kind, std::string text) : m_kind(kind), m_text(std::move(text)) {}
    char m_kind = 'n';
    std::string m_text;
};

}  // namespace VEK
