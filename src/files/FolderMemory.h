#pragma once
#include <string>

namespace VEK {

// The last folder a file dialog of the given kind ("data", "setup", "adjustoffset") used, as an
// absolute path; relative stored values are taken from the documents folder.
std::string LoadLastFolder(const std::string& kind);
// After a successful save or load: stores the folder of the chosen file, relative to the documents
// folder when it lies below it.
bool SaveLastFolder(const std::string& kind, const std::string& filePath);

}  // namespace VEK
