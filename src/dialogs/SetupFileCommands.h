#pragma once
// "Export Setup" and "Import Setup": the file dialogs, the setup file and the messages.
#include <functional>

#include "dialogs/OperatorPrompt.h"
#include "files/AccessorSection.h"
#include "files/GraphScaleSettings.h"
#include "files/ParameterSet.h"
#include "support/SystemTime.h"

// Asks for a file (named after now by default) and writes the parameter set and scales into its
// section "user"; tells whether it worked. True when the file was written.
bool ExportSetup(IOperatorPrompt& prompt, const VEK::TParameterSet& set,
                 const VEK::TGraphScaleSettings& scales,
                 const VEK::CSystemTime& now = VEK::CSystemTime::Now());

// Gives the imported set (the current system number kept) and scales to adopt before the success
// is told.
using TAdoptSetup =
    std::function<void(const VEK::TParameterSet& set, const VEK::TGraphScaleSettings& scales)>;
// Asks for a setup file and reads it with define.ini's section parameter; a file that is missing
// or has no section "user" changes nothing and is told. True when the setup was adopted.
bool ImportSetup(IOperatorPrompt& prompt, const VEK::TParameterSet& current,
                 const VEK::AccessorSection& parameter, const TAdoptSetup& adopt);
