#include "dialogs/SetupFileCommands.h"

#include "files/FolderMemory.h"
#include "files/SetupFile.h"

namespace {

constexpr const char* kFolderKind = "setup";
constexpr const char* kExtension = "*.set";
constexpr const char* kExportFilter = "SETUP File(*.set)|*.set|All Files (*.*)|*.*||";
constexpr const char* kImportFilter = "SETUP File (*.set)|*.set|All Files (*.*)|*.*||";

}  // namespace

bool ExportSetup(IOperatorPrompt& prompt, const VEK::TParameterSet& set,
                 const VEK::TGraphScaleSettings& scales, const VEK::CSystemTime& now) {
    IOperatorPrompt::TFileRequest request{true, kExportFilter, kExtension};
    request.proposedName = now.Format("%Y%m%d%H%M%S.set");
    request.startFolder = VEK::LoadLastFolder(kFolderKind);
    const std::optional<std::string> path = prompt.ChooseFile(request);
    if (!path)
        return false;
    if (!VEK::WriteSetupFile(*path, set, scales)) {
        prompt.Tell(IOperatorPrompt::EIcon::kError, "Failed to save data to the file.");
        return false;
    }
    VEK::SaveLastFolder(kFolderKind, *path);
    prompt.Tell(IOperatorPrompt::EIcon::kInformation, "Finished saving data to the file.");
    return true;
}

bool ImportSetup(IOperatorPrompt& prompt, const VEK::TParameterSet& current,
                 const VEK::AccessorSection& parameter, const TAdoptSetup& adopt) {
    IOperatorPrompt::TFileRequest request{false, kImportFilter, kExtension};
    request.startFolder = VEK::LoadLastFolder(kFolderKind);
    const std::optional<std::string> path = prompt.ChooseFile(request);
    if (!path)
        return false;
    VEK::TParameterSet set = current;
    VEK::TGraphScaleSettings scales;
    if (!VEK::ReadSetupFile(*path, parameter, set, scales)) {
        prompt.Tell(IOperatorPrompt::EIcon::kError, "Failed to read data from the file.");
        return false;
    }
    VEK::SaveLastFolder(kFolderKind, *path);
    adopt(set, scales);
    prompt.Tell(IOperatorPrompt::EIcon::kInformation, "Finished reading data from the file.");
    return true;
}
