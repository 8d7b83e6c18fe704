#pragma once
#include <QObject>
#include <chrono>
#include <cstdint>
#include <memory>
#include <string>

#include "controller/KeepAwake.h"
#include "controller/RecordPublisher.h"
#include "controller/RunOptions.h"
#include "controller/TickThread.h"
#include "controller/TimerHost.h"
#include "files/DataFileView.h"
#include "files/WorkingFile.h"

class CDongleLink;
class CMeasurementDataManager;
class CMeasurementSignals;
class CSharedParameters;
class IMeasurementView;

// One measurement from start to end: polling on, the record store begun, the record clock, the
// sampling tick with its stop conditions (record limit, record count, stop time), the finish with
// polling off and the automatic save, the working file, keep-awake. Window thread.
class CMeasurementRun : public QObject {
    Q_OBJECT
public:
    enum ETimer {
        kTimerRefreshLists = 3,
        kTimerRemainingTime = 15,
        kTimerWorkingFile = 16,
        kTimerPublishStatus = 17,
    };

    // All borrowed; they outlive the run.
    CMeasurementRun(CMeasurementDataManager& store, CSharedParameters& parameters, CDongleLink& link,
                    CMeasurementSignals& notifier, IMeasurementView& view, QObject* parent = nullptr);
    ~CMeasurementRun() override;

    // The one start path. Keep-awake and, when asked for, the working file only for a start that
    // worked. 0, or negative when no dongle is connected or polling on failed.
    int Start(const TRunOptions& options);
    // Ends the run: polling off, finished data, automatic save, final working-file rows,
    // keep-awake released; messages only after all that.
    void Finish();
    // The dongle was lost while measuring: the data so far become finished data and are saved
    // before anything is said. False when the automatic save failed.
    bool EndAfterDeviceError();
    // The store takes the data read from a file (the caller finishes a running measurement first).
    void Adopt(CMeasurementDataManager& loaded);
    // Replaces the data with the working file of a run that was never saved, which from then on
    // goes as this run's own would: deleted after a save, kept at exit otherwise. False when another
    // process holds the file or it is not a working file that can be read (the store is then reset).
    bool Recover(const std::string& path, VEK::TDataFileView& fileView);
    // The data are dropped: empty store, no record clock.
    void Discard();
    // The Save command wrote the data to a file: the working file has served its purpose.
    void DataSaved();
    // Saves the finished data as the automatic save does (the working file goes once they are
    // saved); false with the reason, which is reported as the automatic save's was.
    bool SaveData(const std::string& path, std::string& problem);
    // A copy of the finished data, which stay unsaved and keep their working file.
    bool WriteDataCopy(const std::string& path, std::string& problem);
    // At exit: no clock, no keep-awake, publishing stopped; the working file is deleted unless it
    // holds a run that was saved nowhere.
    void Shutdown();

    // From now on the records of every run (but the short measurement's) go to the publisher.
    void StartPublishing(std::unique_ptr<CRecordPublisher> publisher);
    // Delivers what waits for at most drain while the broker is connected; the rest stays in the
    // spill file for the next start.
    void StopPublishing(std::chrono::milliseconds drain);
    bool IsPublishing() const { return m_publisher != nullptr; }
    // What the front ends show about publishing; only while IsPublishing.
    TMqttStatus PublishStatus() const;

    // "Measuring" (with the remaining time when a stop time is set), "Ready" or "Not Ready".
    std::string StatusText() const;
    // A run that ended and was saved nowhere.
    bool HasUnsavedRun() const { return m_unsavedRun; }
    const std::string& WorkingFilePath() const { return m_workingFile.Path(); }
    // What keeps the run's files from being written, for the operator: the working file's problem
    // ("Working file ... cannot be written: No space left on device") and a failed save's, one a
    // line; empty when both are fine. fileProblemChanged tells when it changes. namesOnly: the
    // files without their folders, for a line with little room.
    std::string FileProblem(bool namesOnly = false) const;
    const std::string& WorkingFileProblem() const { return m_workingFile.Problem(); }
    // The last failed save's file and reason ("x.csv: No space left on device"); empty once a save
    // of the run worked.
    const std::string& SaveProblem() const { return m_saveProblem; }
    // The message of a failed automatic save: the fixed text, the file and the reason, and what
    // holds the run instead.
    std::string SaveFailedMessage() const;
    bool KeepAwakeRequested() const { return m_keepAwake.Requested(); }
    // The graph's view state written into data files.
    void SetDataFileView(const VEK::TDataFileView& view) { m_fileView = view; }

private:
    int StartPolling();
    void AbandonStart();
    // The store, the data file, the working file and the publisher after a run ended; false when
    // the automatic save failed.
    bool EndRun(ERunState state);
    // clock: the number of the record clock that ticked.
    void OnSamplingTick(uint32_t clock);
    // The run's own record count is reached and its last record filled (or given up on).
    bool RunRecordsComplete() const;
    void OnTimer(int id);
    void ReleaseKeepAwake();
    void CheckPublishStatus();
    // Appends to the working file (every row of the run once it has ended) and tells when the
    // file's problem changed.
    void AppendWorkingFile(bool final);
    // Signals FileProblem() and hands it to the publisher when it differs from the last told.
    void FileProblemChanged();

    CMeasurementDataManager& m_store;
    CSharedParameters& m_parameters;
    CDongleLink& m_link;
    CMeasurementSignals& m_notifier;
    IMeasurementView& m_view;

    CTimerHost m_timers;
    CTickThread m_tick;
    CKeepAwake m_keepAwake;
    VEK::CWorkingFile m_workingFile;
    VEK::TDataFileView m_fileView;
    std::unique_ptr<CRecordPublisher> m_publisher;
    std::string m_publishStatusText;

    TRunOptions m_options;
    int64_t m_stopTimeMs = 0;  // absolute; 0 means none
    bool m_unsavedRun = false;
    std::string m_fileProblemTold;  // FileProblem() as last told
    std::string m_saveProblem;      // the last failed save's file and reason
    std::string m_saveProblemPath;  // its file
};
