#pragma once
#include <QObject>
#include <QTimer>
#include <memory>

#include "app/IMeasurementView.h"
#include "app/MeasurementController.h"
#include "app/QuitSignalNotifier.h"
#include "app/RecordOptions.h"
#include "files/ParameterSet.h"

// hollowmere-record: a measurement without the window. Waits for the dongle, starts, stops on the
// options' condition, a signal or a device error, then saves, prints a summary and quits the event
// loop with the exit status.
class CHeadlessRecorder : public QObject, public IMeasurementView {
    Q_OBJECT
public:
    // Seconds of waiting for the dongle before saying so.
    static constexpr int kWaitNoticeSeconds = 3;
    // The longest wait for the dongle's polling-stopped confirmation at the end.
    static constexpr int kStopWaitMs = 10000;

    CHeadlessRecorder(const TRecordOptions& options, const VEK::TParameterSet& parameters,
                      const VEK::TDataFileView& fileView);
    ~CHeadlessRecorder() override;

    void Begin();

    void RefreshStatus() override {}
    void ShowMessage(EIcon icon, const std::string& text) override;
    bool WaitForStopConfirmation(const std::function<bool()>& stopped) override;
    void SamplingTick() override;
    void MeasurementEnded(bool deviceError) override;
    void KeepAwakeChanged(bool requested) override;

private:
    void Poll();
    void OnQuitSignal();
    void Conclude(bool deviceError);
    void PrintSummary();
    void ClearProgressLine();

    TRecordOptions m_options;
    VEK::TParameterSet m_parameters;
    CMeasurementController m_controller;
    CQuitSignalNotifier m_signals;
    QTimer m_poll;
    int m_waitedPolls = 0;
    bool m_started = false;
    bool m_ended = false;
    bool m_progressShown = false;
    bool m_progressOnTerminal = false;
};
