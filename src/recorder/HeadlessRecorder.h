#pragma once
#include <QObject>
#include <QTimer>
#include <chrono>
#include <memory>
#include <optional>
#include <vector>

#include "controller/IMeasurementView.h"
#include "controller/MeasurementController.h"
#include "controller/QuitSignalNotifier.h"
#include "files/ParameterSet.h"
#include "publish/MqttConnection.h"
#include "recorder/RecordOptions.h"
#include "recorder/RecordSummary.h"
#include "recorder/SaveWait.h"

// hollowmere-record: a measurement without the window. Waits for the dongle, starts, stops on the
// options' condition, a signal or a device error, then saves (a failed save is tried again, then
// the data go to a fallback folder), prints a summary and quits the event loop with the exit
// status. With a broker, every record goes to it as well.
class CHeadlessRecorder : public QObject, public IMeasurementView {
    Q_OBJECT
public:
    // Seconds of waiting for the dongle before saying so.
    static constexpr int kWaitNoticeSeconds = 3;
    // The longest wait for the information of every channel in use before the start.
    static constexpr int kInformationWaitMs = 5000;
    // The longest wait at the end for the broker to take what still waits.
    static constexpr std::chrono::milliseconds kPublishDrain{10000};

    // mqtt: the broker to publish to, or none.
    CHeadlessRecorder(const TRecordOptions& options, const VEK::TParameterSet& parameters,
                      const VEK::TDataFileView& fileView, const std::optional<TMqttConnection>& mqtt = {});
    ~CHeadlessRecorder() override;

    // The offsets that correct the readings of the run.
    void UseOffsets(const VEK::TOffsetTable& table) { m_controller.OffsetTable() = table; }
    void Begin();

    void ShowMessage(EIcon icon, const std::string& text) override;
    bool WaitForStopConfirmation(const std::function<bool()>& stopped) override;

private:
    void OnSamplingTick();
    void OnRunEnded(bool deviceError);
    void OnKeepAwakeChanged(bool requested);
    // A line for every change of the broker's state; the counts show in the progress line.
    void OnPublishStatusChanged();
    // Waits for the dongle, then for the units' information, then starts.
    void Poll();
    // The channels in use whose unit has not sent its information.
    std::vector<int32_t> ChannelsWithoutInformation();
    // What the recorder waits for: the USB ids or the development port.
    std::string DongleDescription() const;
    // Says when a file of the run can no longer, or again, be written.
    void OnFileProblemChanged();
    void OnQuitSignal();
    void Conclude(bool deviceError);
    // After the save (or the save wait): the dongle to standby, the broker's last records, the
    // summary, the exit status.
    void Finalize(const CSaveWait::TResult& saved);
    void ClearProgressLine();

    TRecordOptions m_options;
    VEK::TParameterSet m_parameters;
    CMeasurementController m_controller;
    std::optional<TMqttConnection> m_mqtt;
    std::optional<TMqttStatus::EState> m_publishState;  // the last one told
    CQuitSignalNotifier m_signals;
    CSaveWait m_saveWait;
    TRecordSummary m_summary;
    std::string m_workingFileProblem;  // as last told
    QTimer m_poll;
    int m_waitedPolls = 0;
    int m_informationPolls = 0;  // since the dongle was connected
    bool m_started = false;
    bool m_ended = false;
    bool m_deviceError = false;
    bool m_progressShown = false;
    bool m_progressOnTerminal = false;
};
