#include "files/WorkingFile.h"

#include <unistd.h>

#include <algorithm>

#include "data/SamplingRate.h"
#include "files/AppendFileWriter.h"
#include "files/DataFileWriter.h"
#include "files/Settings.h"
#include "files/TextBufferWriter.h"
#include "files/TraceLogger.h"
#include "platform/Folders.h"

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
    if (!CreateFolderWithParents(folder, 0700))
        return false;
    // Whoever may write the folder may swap the file for a link or read the rows.
    if (const std::string problem = PrivateFolderProblem(folder); !problem.empty()) {
        m_problem = "The work folder \"" + folder + "\" " + problem + "; measuring without a working file.";
        TraceLogger().Trace("作業フォルダ[%s]を使えません: %s", folder.c_str(), problem.c_str());
        return false;
    }
    const std::string path = folder + "/" + store.StartTime().Format("%Y%m%d%H%M%S") + ".csv";
    m_channelCount = FileChannelCount(store);
    m_rowsWritten = 0;
    CTextBufferWriter header(path);
    if (!WriteDataFile(header, store, view, false))
        return false;
    // Locked from its creation on, so that nobody takes it for a file left behind.
    const int fd = CreateNewFile(path, header.Bytes(), 0600);
    if (fd < 0)
        return false;
    m_lock.Adopt(fd);
    m_path = path;
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
        return false;
    if (AppendWorkingRows(writer, store, m_channelCount, m_rowsWritten, upTo)) {
        m_rowsWritten = upTo;
        return true;
    }
    // No part-written row may stay: the next append writes the rows again.
    writer.Rollback();
    return false;
}

uint32_t CWorkingFile::CompleteRecords(const CMeasurementDataManager& store) {
    // Records left for late reports: one second at the fast rates, four periods otherwise.
    const uint32_t lag = SamplingPeriodMilliseconds(store.SamplingRateCode()) < 1000 ? 10 : 4;
    const uint32_t records = store.RecordsThisRun();
    return records >= lag ? records - lag : 0;
}

void CWorkingFile::Delete() {
    if (!m_path.empty())
        unlink(m_path.c_str());
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
}

}  // namespace VEK
