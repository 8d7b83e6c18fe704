#include "counterpart/ReplayFile.h"

#include "files/DataFileReader.h"
#include "files/FileReader.h"

std::shared_ptr<CMeasurementDataManager> ReadReplayFile(const std::string& path) {
    VEK::CFileReader reader(path);
    if (!reader.Open())
        return nullptr;
    auto store = std::make_shared<CMeasurementDataManager>();
    VEK::TDataFileView view;
    if (!VEK::ReadDataFile101(reader, *store, view) && !VEK::ReadDataFile100(reader, *store, view))
        return nullptr;
    store->SetState(CMeasurementDataManager::kStateHolding);
    return store;
}
