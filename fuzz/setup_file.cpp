// Feeds arbitrary bytes to setup file import. A file without a section "user" leaves the set as it
// was. An imported setup exported onto the same file, as Export Setup does on an existing file,
// imports again to the same setup and leaves every other section and key as it was; exported to a
// new file, too.
#include <strings.h>

#include <cstdint>
#include <cstdio>
#include <map>
#include <string>
#include <utility>

#include "FuzzCheck.h"
#include "ParameterSetCheck.h"
#include "files/InifileAccessor.h"
#include "files/SetupFile.h"
#include "platform/RegularFile.h"

namespace {

using fuzz::Require;
using TContents = std::map<std::pair<std::string, std::string>, std::string>;

// Every key of every section but "user".
TContents OtherKeys(const std::string& path) {
    VEK::CInifileAccessor file(path, VEK::ReadRegularFile(path, VEK::CIniProfile::kMaxBytes));
    TContents contents;
    for (const std::string& section : file.SectionNames()) {
        if (strcasecmp(section.c_str(), "user") == 0)
            continue;
        for (const std::string& key : file.KeyNames(section))
            contents[{section, key}] = file.Read(section, key).TextForm();
    }
    return contents;
}

// Exports to path, imports it again: the same setup.
void RequireExportedAndImported(const std::string& path, const VEK::AccessorSection& parameter,
                                const VEK::TParameterSet& set, const VEK::TGraphScaleSettings& scales) {
    Require(VEK::WriteSetupFile(path, set, scales));
    VEK::TParameterSet again;
    again.systemNumber = set.systemNumber;  // which an import keeps
    VEK::TGraphScaleSettings againScales;
    Require(VEK::ReadSetupFile(path, parameter, again, againScales));
    fuzz::RequireReadBack(set, again);
    Require(againScales == scales);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string path = fuzz::WriteFile("setup.set", data, size);
    VEK::CInifileAccessor define(fuzz::Folder() + "/define.ini");
    const VEK::AccessorSection parameter(&define, "parameter");

    VEK::TParameterSet set;
    set.systemNumber = 9;
    VEK::TGraphScaleSettings scales;
    if (!VEK::ReadSetupFile(path, parameter, set, scales)) {
        Require(!VEK::HasUserSection(VEK::CInifileAccessor(path)));
        Require(set.systemNumber == 9 && scales == VEK::TGraphScaleSettings{});
        return 0;
    }
    // Importing never changes the system number.
    Require(set.systemNumber == 9);
    fuzz::RequireSound(set);

    const TContents others = OtherKeys(path);
    RequireExportedAndImported(path, parameter, set, scales);
    Require(OtherKeys(path) == others);

    const std::string fresh = fuzz::Folder() + "/fresh.set";
    std::remove(fresh.c_str());
    RequireExportedAndImported(fresh, parameter, set, scales);
    return 0;
}
