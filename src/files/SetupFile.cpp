#include "files/SetupFile.h"

#include <strings.h>

#include <algorithm>
#include <cerrno>

#include "files/InifileAccessor.h"
#include "files/TraceLogger.h"
#include "platform/RegularFile.h"
#include "support/ErrorText.h"

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
    if (!HasUserSection(file)) {
        TraceLogger().Trace("設定ファイル[%s]の読み込みに失敗しました(セクション user がありません)。",
                            path.c_str());
        return false;
    }
    const AccessorSection user(&file, kUserSection);
    TParameterSet read = set;
    ReadParameterSet(read, user, parameter);
    // A setup file from another installation never changes this one's radio system number.
    read.systemNumber = set.systemNumber;
    read.firmware = set.firmware;
    set = read;
    scales = ReadGraphScales(user);
    TraceLogger().Trace("設定ファイル[%s]を読み込みました。", path.c_str());
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
    errno = 0;
    if (WriteSetupFile(file, set, scales)) {
        TraceLogger().Trace("設定ファイル[%s]を書き出しました。", path.c_str());
        return true;
    }
    TraceLogger().Trace("設定ファイル[%s]の書き出しに失敗しました(%s)。", path.c_str(),
                        ErrorText(errno).c_str());
    return false;
}

}  // namespace VEK
