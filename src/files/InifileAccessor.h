#pragma once
#include <mutex>

#include "files/IAccessor.h"
#include "platform/IniProfile.h"

namespace VEK {

// Settings in an INI text file. Reads yield kinds 'n' and 's'; a write that would not change the
// stored text leaves the file untouched. A file that exists but cannot be read reads as empty,
// refuses writes and is logged once until it reads again.
class CInifileAccessor : public IAccessor {
public:
    // reader replaces the file read, to inject read failures.
    explicit CInifileAccessor(std::string path = {}, CIniProfile::TReader reader = {});
    // Reads one version of the file, read by the caller (see CIniProfile).
    CInifileAccessor(std::string path, TFileRead snapshot);

    const std::string& Path() const { return m_profile.Path(); }
    void SetPath(std::string path) { m_profile = CIniProfile(std::move(path)); }
    // Why the file could not be read at the last access; empty when it was read or is missing.
    std::string Problem() const { return m_profile.Problem(); }

    // Writes wait in memory until Flush, which replaces the file once with all of them.
    void SetDeferred(bool deferred) { m_profile.SetDeferred(deferred); }

    std::string TypeName() const override { return "Inifile"; }
    // Without deferred writes every write has gone straight to the file already.
    bool Flush() override { return m_profile.Commit(); }
    std::vector<std::string> SectionNames() const override;
    bool DeleteSection(const std::string& section) override;
    std::vector<std::string> KeyNames(const std::string& section) const override;
    char KindOf(const std::string& section, const std::string& key) const override;
    AccessorValue Read(const std::string& section, const std::string& key) const override;
    bool Write(const std::string& section, const std::string& key, const AccessorValue& value) override;

private:
    // Logs a read problem when it first appears; passes result through.
    template <class T>
    T Reported(T result) const;

    mutable CIniProfile m_profile;  // caches the parsed file
    mutable std::mutex m_reportLock;
    mutable std::string m_reported;  // the problem logged last
};

}  // namespace VEK
