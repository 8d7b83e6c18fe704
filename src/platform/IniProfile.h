#pragma once
// Private-profile functions over INI text files: sections and keys compared without case, a value
// is the text after '=' trimmed (outer double quotes removed), the first of duplicate sections or
// keys wins. Writes keep comments, unknown keys and order and replace the file atomically.
#include <optional>
#include <string>
#include <vector>

namespace VEK {

std::optional<std::string> IniReadValue(const std::string& path, const std::string& section,
                                        const std::string& key);
// Writes key=value; a write of the current value leaves the file untouched. Values holding CR or LF,
// and section or key names that cannot be stored, are refused.
bool IniWriteValue(const std::string& path, const std::string& section, const std::string& key,
                   const std::string& value);
// Removes the key's line; true when the key is absent afterwards.
bool IniDeleteKey(const std::string& path, const std::string& section, const std::string& key);
// Removes every section whose name begins with the given name (without case).
bool IniDeleteSections(const std::string& path, const std::string& prefix);
std::vector<std::string> IniSectionNames(const std::string& path);
std::vector<std::string> IniKeyNames(const std::string& path, const std::string& section);

}  // namespace VEK
