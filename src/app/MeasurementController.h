#pragma once
#include <QObject>
#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>

#include "app/IMeasurementView.h"
#include "app/KeepAwake.h"
#include "app/ShortMeasurementExecutable.h"
#include "app/TickThread.h"
#include "app/TimerHost.h"
#include "data/MeasurementDataManager.h"
#include "files/DataFileView.h"
#include "files/ParameterSet.h"
#include "files/WorkingFile.h"
#include "link/CommunicationReporter.h"
#include "link/SocketServer.h"
#include "link/UsbHid.h"
#include "protocol/DongleCommandSettings.h"
#include "protocol/RfPacketCommander.h"
#include "support/SystemTime.h"

// Keeps the dongle connected and runs a measurement from start to stop: the device watch and the
// connect sequence, unit discovery while idle, the start, the record clock, the receive path, the
// stop conditions, the automatic save, the working file, keep-awake, and the stop handshake before
// an exit or a change of the system number. Lives on the window thread; the receive thread and the
// record clock reach it only by posted messages, posted timer starts and the stop flags.
class CMeasurementController : public QObject,
                               public VEK::IPacketCommandExecuter,
                               public QNL::CRfPacketCommander::IListener,
                               public IShortMeasurementExecutable {
    Q_OBJECT
public:
    enum ETimer {
        kTimerDeviceWatch = 2,
        kTimerRefreshLists = 3,
        kTimerCompleteStop = 12,
        kTimerResendPolling = 13,
        kTimerInformationRefresh = 14,
        kTimerRemainingTime = 15,
        kTimerWorkingFile = 16,
    };
    static constexpr uint32_t kRgbBlack = 0x000000;
    static constexpr uint32_t kRgbRed = 0x0000FF;  // red in the low byte

    // parameters and view are borrowed and outlive the controller.
    CMeasurementController(VEK::TParameterSet& parameters, IMeasurementView& view, QObject* parent = nullptr);
    // Closes the dongle's communication and stops the record clock.
    ~CMeasurementController() override;

    // Device watch every second from now on (the first look right away).
    void StartDeviceWatch();
    bool OpenDevice();
    void ResetToIdle();

    // The common start; 0, or negative when no dongle is connected or polling on failed.
    int StartPolling();
    // Start with the start dialog's choices: data file for the automatic save (empty: none) and stop
    // time (invalid: none). recordCount > 0 ends the run once that many records are complete and keeps
    // exactly that many. Keep-awake and the working file only for a start that worked; a failed
    // start is reported to the operator. The StartPolling result.
    int StartMeasurement(const std::string& dataFile, const VEK::CSystemTime& stopTime,
                         uint32_t recordCount = 0);
    // Ends the run: polling off, finished data, automatic save, final working-file rows, keep-awake
    // released; messages only after all that.
    void FinishMeasurement();
    // Replaces the data with a data file (a running measurement is finished first); the graph's
    // view state comes back in fileView. On failure the store goes back to idle and false.
    bool LoadData(const std::string& path, VEK::TDataFileView& fileView);
    // A new system number: the dongle is opened afresh by the device watch and configured again.
    void DetachDongle();
    // Stop sequence before an exit or a new system number: wait, polling off, wait.
    void RunStopSequence();
    void StopPolling();
    void WaitForStop();
    void CompleteStop();
    // The data were saved by the Save command: the working file has served its purpose.
    void DataSaved();
    // At exit: closes the dongle, stops the clock, deletes the working file unless it holds a run
    // that was saved nowhere.
    void Shutdown();

    void Execute(bool start) override;

    // The lists report a channel that stopped reporting; any thread.
    void PostChannelLost(int channel);

    int RunState() const { return m_store.State(); }
    bool IsConnected() const;
    bool ConnectionAttempted() const { return m_connectionAttempted; }
    // Connected, and the last connect sequence configured the dongle.
    bool DongleConfigured() const { return m_configured && IsConnected(); }
    // "Measuring" (with the remaining time when a stop time is set), "Ready" or "Not Ready".
    std::string StatusText() const;
    IMeasurementView::TStopFlags StopFlags() const;
    CMeasurementDataManager& Store() { return m_store; }
    const std::string& WorkingFilePath() const { return m_workingFile.Path(); }
    bool KeepAwakeRequested() const { return m_keepAwake.Requested(); }
    // The parameter set's polling setting; the receive thread changes its information bits, so
    // others read it here while the dongle is attached.
    TPollingSetting PollingSetting() const;
    // The graph's view state written into data files.
    void SetDataFileView(const VEK::TDataFileView& view) { m_fileView = view; }
    // A run that ended and was saved nowhere.
    bool HasUnsavedRun() const { return m_unsavedRun; }

    // Dongle commands, serialised by the command lock.
    int Send(const IPacket& packet) override;
    int Exchange(IPacket& response, const IPacket& command, int timeoutMs) override;

    // Receive thread.
    void HandleUnclaimedFrame(QNL::CBasicPacket& frame, int lastKeyResult) override;
    bool HandleLinkState(int kind) override;
    void HandleDroppedByte(uint8_t, int) override {}

protected:
    void customEvent(QEvent* event) override;

private:
    void Post(uint32_t message, uint32_t word = 0, uint32_t lparam = 0);
    void OnTimer(int id);
    void OnConnectionEvent(int kind);
    void OnDisconnect();
    void OnSamplesStored(int channel, uint32_t count, uint32_t firstIndex);
    void OnSamplingTick();
    void OnChannelLost(int channel);
    void ResendPollingSetting();

    void HandlePollingState(const QNL::CBasicPacket& frame);
    void HandleUnitReport(const QNL::CBasicPacket& frame);
    void StoreMeasurementReport(const uint8_t* data, size_t size);
    void StoreUnitInformation(const uint8_t* data, size_t size);

    // The store, the data file and the working file after a run ended; false when the automatic
    // save failed.
    bool EndRun();
    void SetAllInformationWanted();
    void SetStopFlags(bool done, bool pending);
    void SetStopDone(bool done);
    // The dongle's polling-stopped event: sets both flags unless the stop was done already.
    bool MarkPollingStopped();
    QNL::TDongleCommandSettings CommandSettings() const;
    TMeasurementSetup MeasurementSetup() const;
    void AbandonStart();
    // The run's own record count is reached and its last record filled (or given up on).
    bool RunRecordsComplete() const;

    VEK::TParameterSet& m_parameters;
    IMeasurementView& m_view;
    CMeasurementDataManager m_store;

    // Transports before the commander, so that the commander (which stops its report) goes first.
    VEK::CSocketServer m_tcpServer;
    VEK::CCommunicationReporterT<VEK::CUsbHid> m_hidReport;
    QNL::CRfPacketCommander m_commander;
    VEK::IReport* m_target = nullptr;  // the commander adapter's target once a device was opened
    std::mutex m_commandLock;

    CTimerHost m_timers;
    CTickThread m_tick;
    CKeepAwake m_keepAwake;
    VEK::CWorkingFile m_workingFile;
    VEK::TDataFileView m_fileView;

    // The polling setting's information bits are changed by the receive thread.
    mutable std::mutex m_pollingLock;
    mutable std::mutex m_stopFlagsLock;
    bool m_stopDone = true;
    bool m_stopPending = false;

    bool m_connectionAttempted = false;
    bool m_configured = false;
    uint32_t m_recordLimit = 0x7FFFFFFF;
    std::string m_dataFileName;
    int64_t m_stopTimeMs = 0;  // absolute; 0 means none
    uint32_t m_runRecords = 0;
    bool m_unsavedRun = false;
    std::atomic<uint32_t> m_informationReports{0};
};
