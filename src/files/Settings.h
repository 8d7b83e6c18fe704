#pragma once
// The process-wide settings: define.ini (installation) and lastone.ini (last state) in the Setup
// folder, and the folder tree below the documents folder.
#include <string>

#include "files/AccessorSection.h"
#include "files/InifileAccessor.h"

namespace VEK {

std::string SetupFolder();
std::string DataFolder();
// Working files of running measurements.
std::string WorkFolder();
// Creates the Setup and Data folders.
void CreateSettingsFolders();

CInifileAccessor& LastOneAccessor();
CInifileAccessor& DefineAccessor();
AccessorSection LastOneSection(const std::string& section);
AccessorSection DefineSection(const std::string& section);
AccessorSection DefineParameterSection();

// Turns a stored folder (may hold Windows backslashes, may be relative to the documents folder)
// into an absolute path without "." and ".." parts.
std::string ResolveStoredFolder(const std::string& stored);
// The log file path from define.ini "folder" "log", creating its folder.
std::string LogFilePath();

}  // namespace VEK
