#include "files/DataFile.h"

#include <new>

#include "files/DataFileReader.h"
#include "files/DataFileWriter.h"
#include "files/DataRowWriter.h"
#include "files/FileReader.h"
#include "files/TextBufferWriter.h"
#include "files/TraceLogger.h"
#include "platform/Folders.h"

namespace VEK {

bool SaveDataFile(const std::string& path, CMeasurementDataManager& store, const TDataFileView& view) {
    try {
        CTextBufferWriter writer(path);
        const std::vector<int32_t> channels = store.ChannelsInUse();
        const auto channelCount = static_cast<uint32_t>(channels.empty() ? 0 : channels.back());
        writer.Reserve((size_t{1} << 20) +
                       size_t{store.RecordCount()} * CDataRowWriter::TypicalRow(channelCount));
        if (!WriteDataFile(writer, store, view, true) || !WriteFileAtomically(path, writer.Bytes()))
            return false;
    } catch (const std::bad_alloc&) {
        return false;  // the file text of a very long run did not fit in memory
    }
    store.SetModified(false);
    store.SetSavedPath(path);
    return true;
}

bool LoadDataFile(const std::string& path, CMeasurementDataManager& store, TDataFileView& view,
                  const TMeasurementSetup& resetSetup) {
    CFileReader reader(path);
    if (!reader.Open()) {
        TraceLogger().Trace("ファイル[%s]のオープンに失敗しました。", path.c_str());
        return false;
    }
    if (!ReadDataFile101(reader, store, view) && !ReadDataFile100(reader, store, view)) {
        TraceLogger().Trace("ファイル[%s]の読み込みに失敗しました。", path.c_str());
        store.Reset(resetSetup);
        return false;
    }
    store.SetState(CMeasurementDataManager::kStateHolding);
    // The rows of a run that was never saved: saved nowhere yet, whatever file they came from.
    store.SetModified(view.workingFile);
    if (view.workingFile)
        store.SetSavedPath({});
    if (view.damagedRows > 0)
        TraceLogger().Trace("ファイル[%s]の壊れた行 %u 行を読み込みませんでした。", path.c_str(),
                            view.damagedRows);
    if (view.skippedLines > 0)
        TraceLogger().Trace("ファイル[%s]の記録でない %u 行を読み飛ばしました。", path.c_str(),
                            view.skippedLines);
    TraceLogger().Trace("[ファイル表示]を開始しました。");
    return true;
}

}  // namespace VEK
