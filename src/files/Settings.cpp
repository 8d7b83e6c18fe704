#include "files/Settings.h"

#include <algorithm>
#include <vector>

#include "platform/Folders.h"

namespace VEK {

std::string SetupFolder() {
    return AppRootFolder() + "/Setup";
}
std::string DataFolder() {
    return AppRootFolder() + "/Data";
}
std::string WorkFolder() {
    return DataFolder() + "/work";
}

void CreateSettingsFolders() {
    CreateFolderWithParents(SetupFolder());
    CreateFolderWithParents(DataFolder());
}

CInifileAccessor& LastOneAccessor() {
    static CInifileAccessor accessor(SetupFolder() + "/lastone.ini");
    return accessor;
}

CInifileAccessor& DefineAccessor() {
    static CInifileAccessor accessor(SetupFolder() + "/define.ini");
    return accessor;
}

AccessorSection LastOneSection(const std::string& section) {
    return AccessorSection(&LastOneAccessor(), section);
}
AccessorSection DefineSection(const std::string& section) {
    return AccessorSection(&DefineAccessor(), section);
}
AccessorSection DefineParameterSection() {
    return DefineSection("parameter");
}

std::string ResolveStoredFolder(const std::string& stored) {
    std::string path = stored;
    std::replace(path.begin(), path.end(), '\\', '/');
    if (path.empty() || path[0] != '/')
        path = DocumentsFolder() + "/" + path;
    std::vector<std::string> parts;
    size_t pos = 1;
    while (pos <= path.size()) {
        size_t slash = path.find('/', pos);
        if (slash == std::string::npos)
            slash = path.size();
        std::string part = path.substr(pos, slash - pos);
        if (part == "..") {
            if (!parts.empty())
                parts.pop_back();
        } else if (!part.empty() && part != ".") {
            parts.push_back(part);
        }
        pos = slash + 1;
    }
    std::string result;
    for (const std::string& part : parts) result += "/" + part;
    return result.empty() ? "/" : result;
}

std::string LogFilePath() {
    std::string folder =
        ResolveStoredFolder(DefineSection("folder").GetString("log", ".\\Quillmark\\Brisquent\\Log"));
    CreateFolderWithParents(folder);
    return folder + "/Hollowmere.log";
}

}  // namespace VEK
