#include "files/DataFile.h"

#include "files/AtomicFileWriter.h"
#include "files/DataFileReader.h"
#include "files/DataFileWriter.h"
#include "files/FileReader.h"
#include "files/TraceLogger.h"
#include "support/ErrorText.h"

namespace VEK {

bool WriteDataFileAtomically(const std::string& path, const CMeasurementDataManager& store,
                             const TDataFileView& view, const FileProgress& progress, std::string* problem) {
    CAtomicFileWriter writer(path);
    bool cancelled = false;
    FileProgress watched;
    if (progress) {
        watched = [&](uint64_t done, uint64_t total) { return !(cancelled = !progress(done, total)); };
    }
    if (writer.Open() && WriteDataFile(writer, store, view, true, watched) && writer.Commit()) {
        TraceLogger().Trace("ファイル[%s]に %u 件を保存しました(%llu バイト)。", path.c_str(),
                            store.RecordCount(), static_cast<unsigned long long>(writer.BytesWritten()));
        return true;
    }
    const std::string reason = cancelled ? "cancelled" : ErrorText(writer.Error());
    if (cancelled)
        TraceLogger().Trace("ファイル[%s]の保存を取り消しました。", path.c_str());
    else
        TraceLogger().Trace("ファイル[%s]の保存に失敗しました(%s)。", path.c_str(), reason.c_str());
    if (problem != nullptr)
        *problem = reason;
    return false;
}

bool SaveDataFile(const std::string& path, CMeasurementDataManager& store, const TDataFileView& view,
                  const FileProgress& progress, std::string* problem) {
    if (!WriteDataFileAtomically(path, store, view, progress, problem))
        return false;
    NoteSaved(store, path);
    return true;
}

void NoteSaved(CMeasurementDataManager& store, const std::string& path) {
    store.SetModified(false);
    store.SetSavedPath(path);
}

bool LoadDataFile(const std::string& path, CMeasurementDataManager& store, TDataFileView& view,
                  const TMeasurementSetup& resetSetup, const FileProgress& progress) {
    CFileReader reader(path);
    if (!reader.Open()) {
        TraceLogger().Trace("ファイル[%s]のオープンに失敗しました。", path.c_str());
        return false;
    }
    // A cancelled read of a "1.01" file is not followed by a try as "1.00".
    bool cancelled = false;
    FileProgress watched;
    if (progress) {
        watched = [&](uint64_t done, uint64_t total) { return !(cancelled = !progress(done, total)); };
    }
    view.problem.clear();
    if (!ReadDataFile101(reader, store, view, watched) &&
        (cancelled || !ReadDataFile100(reader, store, view, watched))) {
        if (!view.problem.empty())
            TraceLogger().Trace("ファイル[%s]を読めません: %s", path.c_str(), view.problem.c_str());
        TraceLogger().Trace(
            cancelled ? "ファイル[%s]の読み込みを取り消しました。" : "ファイル[%s]の読み込みに失敗しました。",
            path.c_str());
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
    TraceLogger().Trace("ファイル[%s]から %u 件を読み込みました(%llu バイト)。", path.c_str(),
                        store.RecordCount(), static_cast<unsigned long long>(reader.Size()));
    TraceLogger().Trace("[ファイル表示]を開始しました。");
    return true;
}

}  // namespace VEK
