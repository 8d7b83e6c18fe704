// Feeds arbitrary bytes to the recovery of a working file left by a run that was never saved: its
// description (header and last rows) and its recovery into a data file. A file that fails to
// recover stays as it was; one that recovers is gone, and the data file written for it loads with
// the same channels and readings, from the first record holding one.
#include <sys/stat.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

#include "DataFileCheck.h"
#include "FuzzCheck.h"
#include "files/DataFileReader.h"
#include "files/FileReader.h"
#include "files/TraceLogger.h"
#include "files/UnsavedRun.h"

namespace {

using fuzz::Require;

bool Exists(const std::string& path) {
    struct stat st {};
    return stat(path.c_str(), &st) == 0;
}

std::string ReadAll(const std::string& path) {
    std::string bytes;
    if (FILE* file = std::fopen(path.c_str(), "rb")) {
        char buffer[4096];
        for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, file)) > 0;) bytes.append(buffer, n);
        std::fclose(file);
    }
    return bytes;
}

// The first line (after a BOM) names a working file of version 1.01 in its first two fields.
bool HasWorkingHeader(std::string_view bytes) {
    if (bytes.substr(0, 3) == "\xEF\xBB\xBF")
        bytes.remove_prefix(3);
    const std::string_view line = bytes.substr(0, bytes.find_first_of("\r\n"));
    const std::string_view name = line.substr(0, line.find(','));
    if (name != "Brisquent-Working" || name.size() == line.size())
        return false;
    const std::string_view rest = line.substr(name.size() + 1);
    return rest.substr(0, rest.find(',')) == "1.01";
}

}  // namespace

// The log is not under test: its writer thread would hold each input's entries past the input,
// and libFuzzer would then search for leaks after every input.
extern "C" int LLVMFuzzerInitialize(int*, char***) {
    VEK::TraceLogger().Shutdown();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const std::string path = fuzz::WriteFile("20260304050607.csv", data, size);
    const std::optional<VEK::TUnsavedRun> run = VEK::DescribeUnsavedRun(path);
    Require(run.has_value() && run->size == size);
    Require(run->startTime.year == 2026 && run->startTime.second == 7);
    Require(run->readable == HasWorkingHeader(bytes));

    const std::string out = fuzz::Folder() + "/recovered.csv";
    std::remove(out.c_str());
    CMeasurementDataManager recovered;
    std::string problem;
    const VEK::ERecovery result = VEK::RecoverUnsavedRun(path, out, recovered, problem);
    if (result != VEK::ERecovery::kRecovered) {
        Require(result == VEK::ERecovery::kFailed && !problem.empty());
        Require(ReadAll(path) == bytes && !Exists(out));
        return 0;
    }
    Require(run->readable && recovered.RecordCount() > 0);
    Require(!Exists(path));

    VEK::CFileReader reader(out);
    Require(reader.Open());
    CMeasurementDataManager saved;
    VEK::TDataFileView view;
    Require(VEK::ReadDataFile101(reader, saved, view));
    Require(!view.workingFile && view.damagedRows == 0 && view.skippedLines == 0);
    fuzz::RequireWrittenAndLoaded(recovered, saved);
    return 0;
}
