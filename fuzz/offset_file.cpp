// Feeds arbitrary bytes to the offset file reader. A file that loads must write back, and the
// written file must load again to the same table.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "BytesReader.h"
#include "files/OffsetFile.h"
#include "files/TextBufferWriter.h"

namespace {

void Require(bool condition) {
    if (!condition)
        std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    CBytesReader reader(std::string(reinterpret_cast<const char*>(data), size));
    VEK::TOffsetTable table;
    if (!VEK::ReadOffsetFile(table, reader))
        return 0;
    VEK::CTextBufferWriter written("fuzz.csv");
    Require(VEK::WriteOffsetFile(table, written));

    CBytesReader again(written.Bytes());
    VEK::TOffsetTable reloaded;
    Require(VEK::ReadOffsetFile(reloaded, again));
    for (int channel = 1; channel <= VEK::TOffsetTable::kChannels; ++channel) {
        const VEK::TOffsetEntry& a = table.entries[channel];
        const VEK::TOffsetEntry& b = reloaded.entries[channel];
        Require(a.inUse == b.inUse && a.hasData == b.hasData && a.offset == b.offset);
    }
    return 0;
}
