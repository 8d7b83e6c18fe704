#pragma once
#include <string>

namespace testing_support {

// The temporary HOME of this test process (also XDG_RUNTIME_DIR, XDG_CONFIG_HOME below it).
const std::string& TestHome();
// Removes and recreates the temporary HOME, for tests that need a pristine tree.
void ResetTestHome();
// Writes a file, creating its folder.
void WriteFile(const std::string& path, const std::string& bytes);
std::string ReadFile(const std::string& path);
bool FileExists(const std::string& path);

}  // namespace testing_support
