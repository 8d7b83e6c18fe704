#pragma once
#include <string>
#include <vector>

#include "files/AccessorValue.h"

namespace VEK {

// Typed key-value settings store with sections.
class IAccessor {
public:
    virtual ~IAccessor() = default;
    virtual std::string TypeName() const = 0;
    // Commits pending writes to disk.
    virtual bool Flush() = 0;
    virtual std::vector<std::string> SectionNames() const = 0;
    // Deletes the section and every section whose name begins with its name (without case).
    virtual bool DeleteSection(const std::string& section) = 0;
    virtual std::vector<std::string> KeyNames(const std::string& section) const = 0;
    // 's' when present, 'n' when absent.
    virtual char KindOf(const std::string& section, const std::string& key) const = 0;
    virtual AccessorValue Read(const std::string& section, const std::string& key) const = 0;
    virtual bool Write(const std::string& section, const std::string& key, const AccessorValue& value) = 0;
};

}  // namespace VEK
