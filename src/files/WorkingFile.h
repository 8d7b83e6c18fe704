#pragma once
// The working file of a running measurement: its header is written when the run starts and rows
// are appended while it goes on, so that a crash loses at most the last few seconds. The file is
// locked for as long as this object has it, so that no other process offers it for recovery, and
// it is written through the one descriptor made with it: replacing the name (by a link to another
// file) never redirects the rows. Only the user may read it.
#include <string>

#include "data/MeasurementDataManager.h"
#include "files/DataFileView.h"
#include "platform/FileLock.h"

namespace VEK {

class CWorkingFile {
public:
    // Deletes the previous working file and creates Data/work/<start time>.csv with the header,
    // never over an existing file. False when it cannot; Problem then says why (also when the work
    // folder is not safe to use: it is another user's, or others may write it).
    bool Start(const CMeasurementDataManager& store, const TDataFileView& view);
    // Appends the rows the run has completed: all but the newest few records, which late and
    // repeated reports may still fill. final, after the run has stopped: every record of the run.
    // A failed append leaves the file as it was and is retried with the next call. The log gets
    // the first failure of a row of failures, and the append that makes up for them.
    bool Append(const CMeasurementDataManager& store, bool final);
    // Why the file could not be created or appended to ("<path> cannot be written: No space left on
    // device"), until an append (or a new start) succeeds; empty otherwise.
    const std::string& Problem() const { return m_problem; }
    // The file Problem() begins with; empty when it names the work folder.
    const std::string& ProblemPath() const { return m_problemPath; }
    // After the data were saved, and at exit.
    void Delete();
    // The records of a running measurement that are complete: all but the newest few, which late
    // and repeated reports may still fill; 0 while fewer were counted.
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
    bool NotCreated(const std::string& path, int error);
    bool Failed(int error);
    void Succeeded(bool final);

    std::string m_path;
    std::string m_problem;
    std::string m_problemPath;
    CFileLock m_lock;  // its descriptor is the one the rows go through
    uint32_t m_channelCount = 0;
    uint32_t m_rowsWritten = 0;
};

}  // namespace VEK
