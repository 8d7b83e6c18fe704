#include "files/AccessorSection.h"

#include "support/NumberText.h"
#include "support/VekException.h"

namespace VEK {

IAccessor& AccessorSection::Accessor() const {
    if (m_accessor == nullptr)
        throw CNullPointerException();
    return *m_accessor;
}

std::string AccessorSection::GetString(const std::string& key, const std::string& defaultValue) const {
    AccessorValue value = Accessor().Read(m_section, key);
    return value.IsNone() ? defaultValue : value.TextForm();
}

int32_t AccessorSection::GetInteger(const std::string& key, int32_t defaultValue) const {
    AccessorValue value = Accessor().Read(m_section, key);
    if (value.IsNone() || value.TextForm().empty())
        return defaultValue;
    return static_cast<int32_t>(static_cast<uint32_t>(ParseLeadingDecimal(value.TextForm())));
}

bool AccessorSection::SetString(const std::string& key, const std::string& text) const {
    return Accessor().Write(m_section, key, AccessorValue::String(text));
}

bool AccessorSection::SetInteger(const std::string& key, int32_t value) const {
    return Accessor().Write(m_section, key, AccessorValue::Dword(static_cast<uint32_t>(value)));
}

bool AccessorSection::SetBinary(const std::string& key, const std::vector<uint8_t>& bytes) const {
    return Accessor().Write(m_section, key, AccessorValue::Binary(bytes));
}

bool AccessorSection::Delete(const std::string& key) const {
    return Accessor().Write(m_section, key, AccessorValue::None());
}

}  // namespace VEK
