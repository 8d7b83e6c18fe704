#pragma once
#include <chrono>
#include <cstdint>
#include <string>

#include "controller/DongleLink.h"
#include "controller/MeasurementRun.h"
#include "controller/MeasurementSignals.h"
#include "controller/ReceivePath.h"
#include "controller/RunOptions.h"
#include "controller/SharedParameters.h"
#include "controller/ShortMeasurementExecutable.h"
#include "controller/StopHandshake.h"
#include "data/MeasurementDataManager.h"
#include "files/DataFileView.h"
#include "files/OffsetTable.h"

class IMeasurementView;

// Keeps the dongle connected and runs a measurement from start to stop, for the main window and
// the headless recorder alike: the record store and the members that do the work (the dongle link,
// the run, the receive path, the stop handshake), the sequences that involve several of them, and
// the signals (inherited) through which everyone learns what happened. Window thread; the receive
// thread and the record clock reach it only by queued calls and the stop flags.
class CMeasurementController : public CMeasurementSignals, public IShortMeasurementExecutable {
public:
    // Borrowed; they outlive the controller.
    CMeasurementController(VEK::TParameterSet& parameters, IMeasurementView& view, QObject* parent = nullptr);
    // Closes the dongle's communication and stops the record clock.
    ~CMeasurementController() override;

    // The dongle's transport from the command line instead of define.ini (see CDongleLink).
    void SetTransport(const VEK::TDeviceSettings& transport) { m_link.SetTransport(transport); }
    // Device watch every second from now on (the first look right away).
    void StartDeviceWatch();
    // Discards the data, turns polling off and asks every unit for its information again.
    void ResetToIdle();
    // The one start path; 0, or negative when no dongle is connected or polling on failed.
    int StartMeasurement(const TRunOptions& options);
    void FinishMeasurement();
    // The short measurement: start while not measuring, stop while measuring; anything else does
    // nothing. No working file, no automatic save, nothing published.
    void Execute(bool start) override;
    // The PC-side offsets, edited in place by the offset adjustment dialog and read at every start:
    // they correct the run's readings and name the store's adjusted channels.
    VEK::TOffsetTable& OffsetTable() { return m_offsetTable; }
    // While a capture is set (nullptr: none), measurement reports go to it and are not stored.
    void SetOffsetCapture(VEK::COffsetCapture* capture) { m_receivePath.SetOffsetCapture(capture); }
    // The offset adjustment dialog closed: the store marks the adjusted channels, then back to idle.
    void OffsetsAdjusted();
    // Replaces the data with the working file of a run that was never saved (not while measuring);
    // the file is deleted once the data are saved, as a run's own. On failure the controller goes
    // back to idle and false.
    bool RecoverRun(const std::string& path, VEK::TDataFileView& fileView);
    // Replaces the data with those a data file gave a store of their own (read off the window
    // thread); a running measurement is finished first.
    void AdoptLoadedData(CMeasurementDataManager& loaded);
    // The Save command wrote the data to a file: the working file has served its purpose.
    void DataSaved() { m_run.DataSaved(); }
    // The finished data saved as the automatic save does (a retry after it failed); false with the
    // reason, which FileProblem() then names.
    bool SaveData(const std::string& path, std::string& problem) { return m_run.SaveData(path, problem); }
    // A copy of the finished data elsewhere: they stay unsaved, and the working file stays.
    bool WriteDataCopy(const std::string& path, std::string& problem) {
        return m_run.WriteDataCopy(path, problem);
    }
    // What keeps the run's files from being written (one a line), empty when nothing does; see
    // fileProblemChanged.
    std::string FileProblem(bool namesOnly = false) const { return m_run.FileProblem(namesOnly); }
    // The working file's part of it ("<path> cannot be written: No space left on device").
    const std::string& WorkingFileProblem() const { return m_run.WorkingFileProblem(); }
    // The automatic save's ("x.csv: No space left on device"), until a save worked.
    const std::string& SaveProblem() const { return m_run.SaveProblem(); }
    // The parameter set from the setup dialog or a setup file replaces the one in use; the caller
    // then resets to idle or, for a new system number, runs the stop sequence and detaches.
    void ReplaceParameters(const VEK::TParameterSet& set) { m_parameters.Replace(set); }
    // A new system number: the dongle is opened afresh by the device watch and configured again.
    void DetachDongle();
    // Before an exit or a new system number: wait, polling off with the data discarded, wait; the
    // dongle ends in standby. False when standby went without the dongle's confirmation (the wait
    // was cancelled or reached its limit).
    bool RunStopSequence();
    // For an exit that nobody attends (a quit signal, the headless recorder): the stop sequence,
    // running or to come, waits at most this long from now and opens no window.
    static constexpr std::chrono::milliseconds kUnattendedStopWait{10000};
    void LimitStopWait(std::chrono::milliseconds limit = kUnattendedStopWait);
    // At exit: closes the dongle, stops the clock and publishing, deletes the working file unless it
    // holds a run that was saved nowhere.
    void Shutdown();

    // From now on every run's records (the short measurement's excepted) and the run state go to
    // the MQTT broker; program is the base name of the program file. The connection comes checked
    // from TMqttConnection::Resolve. The status is signalled with publishStatusChanged.
    void StartPublishing(const TMqttConnection& connection, const std::string& program) {
        m_run.StartPublishing(std::make_unique<CRecordPublisher>(connection, program));
    }
    // Delivers what still waits for at most drain while the broker is connected; what is left stays
    // in the spill file, for the next start. Shutdown does it with a few seconds.
    void StopPublishing(std::chrono::milliseconds drain) { m_run.StopPublishing(drain); }
    bool IsPublishing() const { return m_run.IsPublishing(); }
    // For the information line: PublishStatus().Text() while IsPublishing().
    TMqttStatus PublishStatus() const { return m_run.PublishStatus(); }

    // Any thread: the lists report a channel that stopped reporting.
    void PostChannelLost(int channel) { m_link.PostChannelLost(channel); }

    int RunState() const { return m_store.State(); }
    // The dongle's report runs and is linked, whether the connect sequence worked or not.
    bool IsLinked() const { return m_link.IsLinked(); }
    // Linked and configured by the connect sequence: "Ready", and a measurement can start.
    bool IsConnected() const { return m_link.IsConnected(); }
    bool ConnectionAttempted() const { return m_link.ConnectionAttempted(); }
    bool TcpServerRunning() const { return m_link.TcpServerRunning(); }
    uint16_t TcpServerPort() const { return m_link.TcpServerPort(); }
    std::string StatusText() const { return m_run.StatusText(); }
    TStopFlags StopFlags() const { return m_stop.Flags(); }
    CMeasurementDataManager& Store() { return m_store; }
    const std::string& WorkingFilePath() const { return m_run.WorkingFilePath(); }
    bool KeepAwakeRequested() const { return m_run.KeepAwakeRequested(); }
    // The parameter set's polling setting, whose information bits the receive thread changes.
    TPollingSetting PollingSetting() const { return m_parameters.PollingSetting(); }
    // The graph's view state written into data files.
    void SetDataFileView(const VEK::TDataFileView& view) { m_run.SetDataFileView(view); }
    bool HasUnsavedRun() const { return m_run.HasUnsavedRun(); }
    // The dongle commander's listener, for frames recorded elsewhere.
    QNL::CRfPacketCommander::IListener& Listener() { return m_receivePath; }

private:
    // At every start, before polling goes on: the table's offsets for the receive path, its adjusted
    // channels for the store (a loaded file's marks go, since they are not this run's).
    void TakeOffsets();
    void OnConnected(bool configured);
    void OnDisconnected();

    IMeasurementView& m_view;
    CSharedParameters m_parameters;
    CMeasurementDataManager m_store;
    VEK::TOffsetTable m_offsetTable;
    CDongleLink m_link;
    CStopHandshake m_stop;
    CReceivePath m_receivePath;
    CMeasurementRun m_run;
};
