#include "files/FolderMemory.h"

#include "files/Settings.h"
#include "platform/Folders.h"

namespace VEK {

namespace {

// The folders the application creates are spelled with a capital; file names are case-sensitive here.
std::string DefaultFolder(const std::string& kind) {
    std::string name = kind == "data" ? "Data" : kind == "setup" ? "Setup" : kind;
    return ".\\Quillmark\\Brisquent\\" + name + "\\";
}

}  // namespace

std::string LoadLastFolder(const std::string& kind) {
    return ResolveStoredFolder(LastOneSection("folder").GetString(kind, DefaultFolder(kind)));
}

bool SaveLastFolder(const std::string& kind, const std::string& filePath) {
    std::string folder = FolderOf(filePath);
    if (!folder.empty() && folder[0] == '/') {
        folder = ResolveStoredFolder(folder);
        std::string documents = DocumentsFolder();
        if (folder == documents) {
            folder = ".";
        } else if (folder.compare(0, documents.size() + 1, documents + "/") == 0) {
            folder = "./" + folder.substr(documents.size() + 1);
        }
    }
    return LastOneSection("folder").SetString(kind, folder + "/");
}

}  // namespace VEK
