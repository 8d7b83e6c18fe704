#pragma once
#include <string>

namespace VEK {

// The system's text for an errno value ("No space left on device"); for 0 a plain "unknown error",
// so that a failure is never reported with an empty reason.
std::string ErrorText(int error);

}  // namespace VEK
