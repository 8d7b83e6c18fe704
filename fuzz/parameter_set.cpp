// Feeds arbitrary bytes to the parameter set as lastone.ini and define.ini at once (sections
// "user" and "parameter"): every "chpt%d", rate, unit, column and command key. The set is always
// sound; saved into the same file, as the application does at exit, and into a new one, it reads
// back the same, with the graph scales.
#include <cstdint>
#include <cstdio>
#include <string>

#include "FuzzCheck.h"
#include "ParameterSetCheck.h"
#include "files/InifileAccessor.h"
#include "platform/RegularFile.h"

namespace {

using fuzz::Require;

struct TRead {
    VEK::TParameterSet set;
    VEK::TGraphScaleSettings scales;
};

TRead Read(const VEK::AccessorSection& user, const VEK::AccessorSection& parameter) {
    TRead read;
    VEK::ReadParameterSet(read.set, user, parameter);
    read.scales = VEK::ReadGraphScales(user);
    return read;
}

// Saved into the accessor's file (replacing it when it is read from elsewhere), then read back
// from the file.
void RequireSavedAndReadBack(VEK::CInifileAccessor& accessor, const TRead& first,
                             const VEK::AccessorSection& parameter, bool rateKept) {
    std::remove(accessor.Path().c_str());
    accessor.SetDeferred(true);
    Require(VEK::SaveUserSection(first.set, first.scales, VEK::AccessorSection(&accessor, "user")));
    Require(accessor.Flush());
    // The file as written, read once rather than for every key.
    VEK::TFileRead written = VEK::ReadRegularFile(accessor.Path(), VEK::CIniProfile::kMaxBytes);
    Require(written.result == VEK::TFileRead::EResult::kRead);
    VEK::CInifileAccessor file(accessor.Path(), std::move(written));
    const TRead again = Read(VEK::AccessorSection(&file, "user"), parameter);
    fuzz::RequireReadBack(first.set, again.set);
    // The rate is never written: a new file gives the default.
    Require(again.set.polling.RateCode() == (rateKept ? first.set.polling.RateCode() : 4));
    Require(again.scales == first.scales);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    VEK::CInifileAccessor accessor(fuzz::Folder() + "/lastone.ini",
                                   VEK::TFileRead{VEK::TFileRead::EResult::kRead, bytes, {}});
    const VEK::AccessorSection parameter(&accessor, "parameter");
    const TRead first = Read(VEK::AccessorSection(&accessor, "user"), parameter);
    fuzz::RequireSound(first.set);

    RequireSavedAndReadBack(accessor, first, parameter, true);
    VEK::CInifileAccessor fresh(fuzz::Folder() + "/new.ini");
    RequireSavedAndReadBack(fresh, first, parameter, false);
    return 0;
}
