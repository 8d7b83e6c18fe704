// Feeds arbitrary bytes to the MQTT spill file reader as a file left by an earlier run. A file it
// takes over yields as many lines as it counted, each as long as it says; delivering some and
// saving that leaves the rest for the next run, delivering all removes the file. The lines read,
// appended to a new spill file, read back the same.
#include <sys/stat.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "FuzzCheck.h"
#include "publish/SpillFile.h"

namespace {

using fuzz::Require;
using TLines = std::vector<CSpillFile::TLine>;

uint64_t FileSize(const std::string& path) {
    struct stat st {};
    return stat(path.c_str(), &st) == 0 ? static_cast<uint64_t>(st.st_size) : 0;
}

// Every unread line, batch by batch.
TLines ReadAll(CSpillFile& file, size_t batch) {
    TLines lines;
    const uint64_t count = file.UnreadLines();
    while (file.UnreadLines() > 0) {
        const TLines read = file.ReadLines(batch);
        Require(!read.empty() && read.size() <= batch);
        lines.insert(lines.end(), read.begin(), read.end());
    }
    Require(lines.size() == count);
    return lines;
}

bool SameText(const TLines& a, const TLines& b) {
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (a[i].topic != b[i].topic || a[i].payload != b[i].payload)
            return false;
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const size_t batch = size > 0 ? data[0] % 8 + 1 : 1;
    const std::string path = fuzz::WriteFile("spill.txt", data, size);
    std::vector<TLines> delivered;
    TLines lines;
    {
        CSpillFile file(path);
        std::string error;
        if (!file.Open(error)) {
            Require(!error.empty() && !file.IsOpen());
            return 0;
        }
        Require(file.IsOpen());
        lines = ReadAll(file, batch);
        uint64_t bytes = 0;
        for (const CSpillFile::TLine& line : lines) bytes += line.bytes;
        // The lines run to the end of the file, a cut last line dropped.
        Require(FileSize(path) >= bytes && FileSize(path) - bytes >= 42);

        // Half of them delivered: the next run reads the other half.
        const size_t half = lines.size() / 2;
        for (size_t i = 0; i < half; ++i) file.Consume(lines[i].bytes);
        Require(file.SaveProgress());
    }
    {
        CSpillFile again(path);
        std::string error;
        Require(again.Open(error));
        const TLines rest = ReadAll(again, batch);
        Require(SameText(rest,
                         TLines(lines.begin() + static_cast<std::ptrdiff_t>(lines.size() / 2), lines.end())));
        for (const CSpillFile::TLine& line : rest) again.Consume(line.bytes);
        Require(again.SaveProgress());
        Require(!again.IsOpen() && FileSize(path) == 0);
    }

    const std::string copy = fuzz::Folder() + "/copy.txt";
    std::remove(copy.c_str());
    {
        CSpillFile file(copy);
        std::string error;
        Require(file.Open(error) && !file.IsOpen());
        Require(lines.empty() || file.Append(lines, error));
    }
    CSpillFile reread(copy);
    std::string error;
    Require(reread.Open(error));
    Require(SameText(ReadAll(reread, batch), lines));
    return 0;
}
