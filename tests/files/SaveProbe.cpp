// Saves a file as the save commands do and says whether it went through: run by the
// write-protection test as the file's owner. Usage: file_save_probe data|offset|setup|ini FILE;
// exit 0 saved, 1 refused, 2 usage.
#include <cstdio>
#include <string>

#include "files/DataFile.h"
#include "files/InifileAccessor.h"
#include "files/OffsetFile.h"
#include "files/SetupFile.h"
#include "files/TraceLogger.h"

namespace {

bool Save(const std::string& kind, const std::string& path) {
    if (kind == "data") {
        CMeasurementDataManager store;
        return VEK::SaveDataFile(path, store, VEK::TDataFileView{});
    }
    if (kind == "offset") {
        VEK::TOffsetTable table;
        return VEK::SaveOffsetFile(table, path);
    }
    if (kind == "setup")
        return VEK::WriteSetupFile(path, VEK::TParameterSet{}, VEK::TGraphScaleSettings{});
    VEK::CInifileAccessor accessor(path);  // as lastone.ini is written
    return accessor.Write("user", "system-no", VEK::AccessorValue::String("5"));
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fputs("usage: file_save_probe data|offset|setup|ini FILE\n", stderr);
        return 2;
    }
    const bool saved = Save(argv[1], argv[2]);
    std::printf("%s\n", saved ? "saved" : "refused");
    VEK::TraceLogger().Shutdown();
    return saved ? 0 : 1;
}
