#include "files/SetupFile.h"

#include <strings.h>

#include <algorithm>

#include "files/InifileAccessor.h"
#include "platform/RegularFile.h"

namespace VEK {
namespace {
constexpr const char* kUserSection = "user";
}  // namespace

bool HasUserSection(const IAccessor& file) {
    const std::vector<std::string> sections = file.SectionNames();
    return std::any_of(sections.begin(), sections.end(),
                       [](const std::string& name) { return strcasecmp(name.c_str(), kUserSection) == 0; });
}

bool ReadSetupFile(const std::string& path, const AccessorSection& parameter, TParameterSet& set,
                   TGraphScaleSettings& scales) {
    // Read once: every key comes from the same version of the file, and a hundred keys cost one read.
    CInifileAccessor file(path, ReadRegularFile(path, CIniProfile::kMaxBytes));
    if (!HasUserSection(file))
        return false;
    const AccessorSection user(&file, kUserSection);
    TParameterSet read = set;
    ReadParameterSet(read, user, parameter);
    // A setup file from another installation never changes this one's radio system number.
    read.systemNumber = set.systemNumber;
    read.firmware = set.firmware;
    set = read;
    scales = ReadGraphScales(user);
    return true;
}

bool WriteSetupFile(IAccessor& file, const TParameterSet& set, const TGraphScaleSettings& scales) {
    bool ok = SaveUserSection(set, scales, AccessorSection(&file, kUserSection));
    ok = file.Flush() && ok;
    return HasUserSection(file) && ok;
}

bool WriteSetupFile(const std::string& path, const TParameterSet& set, const TGraphScaleSettings& scales) {
    CInifileAccessor file(path);
    file.SetDeferred(true);
    return WriteSetupFile(file, set, scales);
}

}  // namespace VEK
