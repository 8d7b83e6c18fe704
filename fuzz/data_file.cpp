// Feeds arbitrary bytes to both data file readers, with the loader's chunk size and with a small
// one that the input picks, so that chunk edges fall everywhere: both reads load the same. A file
// that loads must write back, and the written file must load again to the same records.
#include <cstdint>
#include <numeric>
#include <string>

#include "BytesReader.h"
#include "DataFileCheck.h"
#include "files/DataFileReader.h"
#include "files/DataFileWriter.h"
#include "files/TextBufferWriter.h"

namespace {

using fuzz::Require;

bool Load(const std::string& bytes, size_t chunkSize, CMeasurementDataManager& store,
          VEK::TDataFileView& view) {
    CBytesReader reader(bytes);
    return VEK::ReadDataFile101(reader, store, view, {}, chunkSize) ||
           VEK::ReadDataFile100(reader, store, view, {}, chunkSize);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    CMeasurementDataManager store;
    VEK::TDataFileView view;
    const bool loaded = Load(bytes, VEK::CLineChunks::kDefaultChunkSize, store, view);

    // 1 to 64 bytes a chunk, picked by the input's bytes, so that every input has its own.
    const size_t chunkSize =
        std::accumulate(bytes.begin(), bytes.end(), size_t{0},
                        [](size_t sum, char c) { return sum * 31 + static_cast<uint8_t>(c); }) %
            64 +
        1;
    CMeasurementDataManager chunked;
    chunked.SetStartTime(store.StartTime());  // kept by a file without rows
    VEK::TDataFileView chunkedView;
    Require(Load(bytes, chunkSize, chunked, chunkedView) == loaded);
    if (!loaded)
        return 0;
    fuzz::RequireSameStore(store, chunked);
    Require(view.workingFile == chunkedView.workingFile && view.damagedRows == chunkedView.damagedRows);
    Require(view.skippedLines == chunkedView.skippedLines && view.timeOffsetMs == chunkedView.timeOffsetMs);
    Require(view.scales == chunkedView.scales);

    store.SetState(CMeasurementDataManager::kStateHolding);
    view.samplesPerScreen = 100;
    VEK::CTextBufferWriter written("fuzz.csv");
    Require(VEK::WriteDataFile(written, store, view, true));

    CBytesReader again(written.Bytes());
    CMeasurementDataManager reloaded;
    VEK::TDataFileView reloadedView;
    Require(VEK::ReadDataFile101(again, reloaded, reloadedView));
    Require(!reloadedView.workingFile && reloadedView.damagedRows == 0 && reloadedView.skippedLines == 0);
    fuzz::RequireWrittenAndLoaded(store, reloaded);
    return 0;
}
