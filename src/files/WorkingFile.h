#pragma once
// The working file of a running measurement: its header is written when the run starts and rows
// are appended while it goes on, so that a crash loses at most the last few seconds. The file is
// locked for as long as this object has it, so that no other process offers it for recovery.
#include <string>

#include "data/MeasurementDataManager.h"
#include "files/DataFileView.h"
#include "platform/FileLock.h"

namespace VEK {

class CWorkingFile {
public:
    // Deletes the previous working file and creates Data/work/<start time>.csv with the header.
    bool Start(const CMeasurementDataManager& store, const TDataFileView& view);
    // Appends the rows the store has completed, so that each is the row the saved data file will
    // hold (the broker follows the same count): those every channel in use has, and those that no late and
    // repeated reports may still fill. final, after the run has stopped: every record of the run.
    // A failed append leaves the file as it was and is retried with the next call.
    bool Append(const CMeasurementDataManager& store, bool final);
    // After the data were saved, and at exit.
    void Delete();
    // The records of a running measurement that are complete and will not change; whoever passes
    // the records on (the working file, the broker) follows this one count.
    static uint32_t CompleteRecords(const CMeasurementDataManager& store);
    // Takes over the working file of a run that ended elsewhere (all its rows are written), so that
    // it goes as a run's own file does: deleted after a save, kept at exit when saved nowhere. The
    // previous file is let go, not deleted. False, with nothing changed, when another process
    // holds the file.
    bool Adopt(const std::string& path);
    // Lets go of the file without deleting it, so that it can be recovered.
    void Release();
    const std::string& Path() const { return m_path; }
    // The file's channels, fixed by its header.
    uint32_t ChannelCount() const { return m_channelCount; }
    uint32_t RowsWritten() const { return m_rowsWritten; }

private:
    std::string m_path;
    CFileLock m_lock;
    uint32_t m_channelCount = 0;
    uint32_t m_rowsWritten = 0;
};

}  // namespace VEK
