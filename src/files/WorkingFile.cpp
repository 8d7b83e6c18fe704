#include "files/WorkingFile.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "data/SamplingRate.h"
#include "files/AppendFileWriter.h"
#include "files/DataFileWriter.h"
#include "files/Settings.h"
#include "files/TextBufferWriter.h"
#include "files/TraceLogger.h"
#include "platform/Folders.h"
#include "support/ErrorText.h"

namespace VEK {
namespace {

// Every record position of the run, also once the store has stopped measuring (its sequence
// counter and base stay until the next start or reset), and any record a report ahead of the
// counter has filled in the file's channels.
uint32_t RecordsOfEndedRun(const CMeasurementDataManager& store, uint32_t channelCount) {
    uint32_t records = store.SequenceCounter() - store.IndexBase();
    for (uint32_t k = 1; k <= channelCount; ++k) {
        const auto& channel = store.Channel(static_cast<int>(k));
        if (channel.InUse())
            records = std::max(records, static_cast<uint32_t>(channel.ReadingCount()));
    }
    return records;
}

}  // namespace

bool CWorkingFile::Start(const CMeasurementDataManager& store, const TDataFileView& view) {
    Delete();
    m_problem.clear();
    const std::string folder = WorkFolder();
    const std::string path = folder + "/" + store.StartTime().Format("%Y%m%d%H%M%S") + ".csv";
    if (!CreateFolderWithParents(folder, 0700))
        return NotCreated(path, errno);
    // Whoever may write the folder may swap the file for a link or read the rows.
    if (const std::string problem = PrivateFolderProblem(folder); !problem.empty()) {
        m_problem = "The work folder \"" + folder + "\" " + problem + "; measuring without a working file.";
        m_problemPath.clear();
        TraceLogger().Trace("作業フォルダ[%s]を使えません: %s", folder.c_str(), problem.c_str());
        return false;
    }
    m_channelCount = FileChannelCount(store);
    m_rowsWritten = 0;
    CTextBufferWriter header(path);
    if (!WriteDataFile(header, store, view, false))
        return NotCreated(path, errno);
    // Locked from its creation on, so that nobody takes it for a file left behind.
    const int fd = CreateNewFile(path, header.Bytes(), 0600);
    if (fd < 0)
        return NotCreated(path, errno);
    m_lock.Adopt(fd);
    m_path = path;
    TraceLogger().Trace("作業ファイル[%s]を作成しました。", m_path.c_str());
    return true;
}

bool CWorkingFile::Append(const CMeasurementDataManager& store, bool final) {
    if (m_path.empty())
        return false;
    const uint32_t upTo = final ? RecordsOfEndedRun(store, m_channelCount) : CompleteRecords(store);
    if (upTo <= m_rowsWritten)
        return true;
    CAppendFileWriter writer(m_lock.Fd(), m_path);
    if (!writer.Open())
        return Failed(writer.Error());
    if (AppendWorkingRows(writer, store, m_channelCount, m_rowsWritten, upTo)) {
        m_rowsWritten = upTo;
        Succeeded(final);
        return true;
    }
    const int error = writer.Error();
    // No part-written row may stay: the next append writes the rows again.
    writer.Rollback();
    return Failed(error);
}

bool CWorkingFile::NotCreated(const std::string& path, int error) {
    const std::string reason = ErrorText(error);
    TraceLogger().Trace("作業ファイル[%s]を作成できませんでした(%s)。", path.c_str(), reason.c_str());
    // Without its header the file must not come about through an append.
    Release();
    m_problemPath = path;
    m_problem = path + " cannot be created: " + reason;
    return false;
}

bool CWorkingFile::Failed(int error) {
    const std::string reason = ErrorText(error);
    // One line for a row of failures: an append is tried every second.
    if (m_problem.empty())
        TraceLogger().Trace(
            "作業ファイル[%s]に書き込めません(%s)。書き込めるようになり次第、残りの行を書きます。",
            m_path.c_str(), reason.c_str());
    m_problemPath = m_path;
    m_problem = m_path + " cannot be written: " + reason;
    return false;
}

void CWorkingFile::Succeeded(bool final) {
    if (!m_problem.empty())
        TraceLogger().Trace("作業ファイル[%s]に遅れていた行を書きました(%u 行)。", m_path.c_str(),
                            m_rowsWritten);
    else if (final)
        TraceLogger().Trace("作業ファイル[%s]に %u 行を書きました。", m_path.c_str(), m_rowsWritten);
    m_problem.clear();
}

uint32_t CWorkingFile::CompleteRecords(const CMeasurementDataManager& store) {
    // Records left for late reports: one second at the fast rates, four periods otherwise.
    const uint32_t lag = SamplingPeriodMilliseconds(store.SamplingRateCode()) < 1000 ? 10 : 4;
    const uint32_t records = store.RecordsThisRun();
    return records >= lag ? records - lag : 0;
}

void CWorkingFile::Delete() {
    if (!m_path.empty() && unlink(m_path.c_str()) == 0)
        TraceLogger().Trace("作業ファイル[%s]を削除しました。", m_path.c_str());
    Release();
}

bool CWorkingFile::Adopt(const std::string& path) {
    CFileLock lock;
    if (!lock.Lock(path))
        return false;
    Release();
    m_lock.Swap(lock);
    m_path = path;
    m_channelCount = 0;
    m_rowsWritten = 0;
    return true;
}

void CWorkingFile::Release() {
    m_lock.Release();
    m_path.clear();
    m_problem.clear();
}

}  // namespace VEK
