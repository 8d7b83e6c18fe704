#pragma once
#include "files/IAccessor.h"

namespace VEK {

// Settings in an INI text file. Reads yield kinds 'n' and 's'; a write that would not change the
// stored text leaves the file untouched.
class CInifileAccessor : public IAccessor {
public:
    explicit CInifileAccessor(std::string path = {});

    const std::string& Path() const { return m_path; }
    void SetPath(std::string path) { m_path = std::move(path); }

    std::string TypeName() const override { return "Inifile"; }
    bool Flush() override { return true; }  // every write goes straight to the file
    std::vector<std::string> SectionNames() const override;
    bool DeleteSection(const std::string& section) override;
    std::vector<std::string> KeyNames(const std::string& section) const override;
    char KindOf(const std::string& section, const std::string& key) const override;
    AccessorValue Read(const std::string& section, const std::string& key) const override;
    bool Write(const std::string& section, const std::string& key, const AccessorValue& value) override;

private:
    std::string m_path;
};

}  // namespace VEK
