// Feeds arbitrary bytes to both data file readers. A file that loads must write back, and the
// written file must load again with no more records than the first load had.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "BytesReader.h"
#include "files/DataFileReader.h"
#include "files/DataFileWriter.h"
#include "files/TextBufferWriter.h"

namespace {

void Require(bool condition) {
    if (!condition)
        std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    CBytesReader reader(std::string(reinterpret_cast<const char*>(data), size));
    CMeasurementDataManager store;
    VEK::TDataFileView view;
    if (!VEK::ReadDataFile101(reader, store, view) && !VEK::ReadDataFile100(reader, store, view))
        return 0;
    store.SetState(CMeasurementDataManager::kStateHolding);
    view.samplesPerScreen = 100;
    VEK::CTextBufferWriter written("fuzz.csv");
    Require(VEK::WriteDataFile(written, store, view, true));

    CBytesReader again(written.Bytes());
    CMeasurementDataManager reloaded;
    VEK::TDataFileView reloadedView;
    Require(VEK::ReadDataFile101(again, reloaded, reloadedView));
    Require(reloaded.RecordCount() <= store.RecordCount());
    Require(reloaded.ChannelsInUse().size() <= store.ChannelsInUse().size());
    return 0;
}
