// Writes one key through the INI accessor, as the application writes a setting, and says whether
// the write went through: run by the settings tests as another user.
// Usage: ini_write_probe FILE SECTION KEY VALUE; exit 0 written, 1 refused, 2 usage.
#include <cstdio>

#include "files/InifileAccessor.h"
#include "files/TraceLogger.h"

int main(int argc, char** argv) {
    if (argc != 5) {
        std::fputs("usage: ini_write_probe FILE SECTION KEY VALUE\n", stderr);
        return 2;
    }
    VEK::CInifileAccessor accessor(argv[1]);
    const bool written = accessor.Write(argv[2], argv[3], VEK::AccessorValue::String(argv[4]));
    std::printf("%s %s\n", written ? "written" : "refused", accessor.Problem().c_str());
    VEK::TraceLogger().Shutdown();
    return written ? 0 : 1;
}
