#include "files/WorkingFile.h"

#include <unistd.h>

#include <algorithm>

#include "data/SamplingRate.h"
#include "files/AppendFileWriter.h"
#include "files/DataFileWriter.h"
#include "files/Settings.h"
#include "files/TextBufferWriter.h"
#include "platform/Folders.h"

namespace VEK {

bool CWorkingFile::Start(const CMeasurementDataManager& store, const TDataFileView& view) {
    Delete();
    if (!CreateFolderWithParents(WorkFolder()))
        return false;
    m_path = WorkFolder() + "/" + store.StartTime().Format("%Y%m%d%H%M%S") + ".csv";
    m_channelCount = FileChannelCount(store);
    m_rowsWritten = 0;
    CTextBufferWriter header(m_path);
    if (!WriteDataFile(header, store, view, false) || !WriteFileAtomically(m_path, header.Bytes()))
        return false;
    // Fresh from its creation until here, so that nobody takes it for a file left behind.
    m_lock.Lock(m_path);
    return true;
}

bool CWorkingFile::Append(const CMeasurementDataManager& store, bool final) {
    if (m_path.empty())
        return false;
    const uint32_t upTo = final ? store.RecordCount() : CompleteRecords(store);
    if (upTo <= m_rowsWritten)
        return true;
    CAppendFileWriter writer(m_path);
    if (!writer.Open())
        return false;
    if (AppendWorkingRows(writer, store, m_channelCount, m_rowsWritten, upTo) && writer.Close()) {
        m_rowsWritten = upTo;
        return true;
    }
    // No part-written row may stay: the next append writes the rows again.
    writer.Rollback();
    return false;
}

uint32_t CWorkingFile::CompleteRecords(const CMeasurementDataManager& store) {
    return store.CompletedRecords();
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
