#include "files/InifileAccessor.h"

#include <unistd.h>

#include <climits>

#include "platform/IniProfile.h"

namespace VEK {
namespace {

// Without a path: the program file's path with its extension replaced by ".ini".
std::string DefaultPath() {
    char buffer[PATH_MAX];
    ssize_t n = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    std::string exe = n > 0 ? std::string(buffer, static_cast<size_t>(n)) : std::string("hollowmere");
    size_t slash = exe.find_last_of('/');
    size_t dot = exe.find_last_of('.');
    if (dot != std::string::npos && (slash == std::string::npos || dot > slash))
        exe.erase(dot);
    return exe + ".ini";
}

}  // namespace

CInifileAccessor::CInifileAccessor(std::string path)
    : m_path(path.empty() ? DefaultPath() : std::move(path)) {}

std::vector<std::string> CInifileAccessor::SectionNames() const {
    return IniSectionNames(m_path);
}

bool CInifileAccessor::DeleteSection(const std::string& section) {
    return IniDeleteSections(m_path, section);
}

std::vector<std::string> CInifileAccessor::KeyNames(const std::string& section) const {
    return IniKeyNames(m_path, section);
}

char CInifileAccessor::KindOf(const std::string& section, const std::string& key) const {
    return Read(section, key).Kind();
}

AccessorValue CInifileAccessor::Read(const std::string& section, const std::string& key) const {
    std::optional<std::string> text = IniReadValue(m_path, section, key);
    return text ? AccessorValue::String(std::move(*text)) : AccessorValue::None();
}

bool CInifileAccessor::Write(const std::string& section, const std::string& key, const AccessorValue& value) {
    if (value.IsNone())
        return IniDeleteKey(m_path, section, key);
    std::optional<std::string> current = IniReadValue(m_path, section, key);
    if (current && *current == value.TextForm())
        return true;
    return IniWriteValue(m_path, section, key, value.TextForm());
}

}  // namespace VEK
