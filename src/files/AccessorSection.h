#pragma once
#include <cstdint>
#include <string>

#include "files/IAccessor.h"

namespace VEK {

// One section of an accessor; all reads and writes of a section go through it.
class AccessorSection {
public:
    AccessorSection(IAccessor* accessor, std::string section)
        : m_accessor(accessor), m_section(std::move(section)) {}

    const std::string& Name() const { return m_section; }
    IAccessor& Accessor() const;

    // An absent key gives the default; a present key its text, even when empty.
    std::string GetString(const std::string& key, const std::string& defaultValue) const;
    // An absent key or empty text gives the default; otherwise the leading decimal number
    // truncated to 32 bits.
    int32_t GetInteger(const std::string& key, int32_t defaultValue) const;
    bool SetString(const std::string& key, const std::string& text) const;
    // Written as unsigned decimal (-1 as "4294967295", which reads back as -1).
    bool SetInteger(const std::string& key, int32_t value) const;
    bool SetBinary(const std::string& key, const std::vector<uint8_t>& bytes) const;
    bool Delete(const std::string& key) const;

private:
    IAccessor* m_accessor;
    std::string m_section;
};

}  // namespace VEK
