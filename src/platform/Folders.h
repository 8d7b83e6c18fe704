#pragma once
#include <string>

namespace VEK {

// The user's documents folder: $XDG_DOCUMENTS_DIR, else the XDG user-dirs file, else $HOME/Documents.
std::string DocumentsFolder();
// The application's root folder below the documents folder.
std::string AppRootFolder();
// Creates a folder and its missing parents. True when the folder exists afterwards.
bool CreateFolderWithParents(const std::string& path);
// The folder part of a path (before the last '/'); empty when there is none.
std::string FolderOf(const std::string& path);
// Writes a file through a temporary file beside it, fsync and rename, so that a failure at any
// point leaves the previous file as it was. False on any failure.
bool WriteFileAtomically(const std::string& path, const std::string& bytes);

}  // namespace VEK
