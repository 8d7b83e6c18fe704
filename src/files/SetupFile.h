#pragma once
// Setup files (".set"): section "user" with the keys of lastone.ini's, carried from one installation
// or run to another. Shared by the window's Export and Import Setup and the headless recorder.
#include <string>

#include "files/AccessorSection.h"
#include "files/GraphScaleSettings.h"
#include "files/IAccessor.h"
#include "files/ParameterSet.h"

namespace VEK {

// The file exists and lists a section "user" (names compare without case).
bool HasUserSection(const IAccessor& file);

// The parameter set from the file's "user" and define.ini's "parameter" section, and the graph
// scales; the system number stays the set's own. The file is read once. False, with set and scales
// untouched, when the file does not exist or has no section "user".
bool ReadSetupFile(const std::string& path, const AccessorSection& parameter, TParameterSet& set,
                   TGraphScaleSettings& scales);

// SaveUserSection into the file's "user"; other sections and keys stay. True only when every write
// went through and the file lists "user" afterwards.
bool WriteSetupFile(IAccessor& file, const TParameterSet& set, const TGraphScaleSettings& scales);
// The same on a file path: the file is replaced once with all changes, and not at all when nothing
// changed.
bool WriteSetupFile(const std::string& path, const TParameterSet& set, const TGraphScaleSettings& scales);

}  // namespace VEK
