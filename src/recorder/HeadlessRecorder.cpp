#include "recorder/HeadlessRecorder.h"

#include <unistd.h>

#include <QCoreApplication>
#include <cstdio>
#include <string>

#include "recorder/RecordSummary.h"

namespace {
constexpr int kPollMs = 200;
}  // namespace

CHeadlessRecorder::CHeadlessRecorder(const TRecordOptions& options, const VEK::TParameterSet& parameters,
                                     const VEK::TDataFileView& fileView,
                                     const std::optional<TMqttConnection>& mqtt)
    : m_options(options), m_parameters(parameters), m_controller(m_parameters, *this), m_mqtt(mqtt) {
    m_controller.SetDataFileView(fileView);
    m_progressOnTerminal = isatty(STDERR_FILENO) != 0;
    connect(&m_signals, &CQuitSignalNotifier::quitRequested, this, &CHeadlessRecorder::OnQuitSignal);
    connect(&m_poll, &QTimer::timeout, this, &CHeadlessRecorder::Poll);
    connect(&m_controller, &CMeasurementSignals::samplingTick, this, &CHeadlessRecorder::OnSamplingTick);
    connect(&m_controller, &CMeasurementSignals::runEnded, this, &CHeadlessRecorder::OnRunEnded);
    connect(&m_controller, &CMeasurementSignals::keepAwakeChanged, this,
            &CHeadlessRecorder::OnKeepAwakeChanged);
    connect(&m_controller, &CMeasurementSignals::publishStatusChanged, this,
            &CHeadlessRecorder::OnPublishStatusChanged);
}

CHeadlessRecorder::~CHeadlessRecorder() = default;

void CHeadlessRecorder::Begin() {
    if (m_mqtt)
        m_controller.StartPublishing(*m_mqtt, QCoreApplication::applicationName().toStdString());
    m_controller.StartDeviceWatch();
    m_poll.start(kPollMs);
}

void CHeadlessRecorder::Poll() {
    if (m_started)
        return;
    if (!m_controller.IsConnected()) {
        if (++m_waitedPolls == kWaitNoticeSeconds * 1000 / kPollMs)
            std::fprintf(stderr, "hollowmere-record: waiting for the dongle...\n");
        m_informationPolls = 0;
        return;
    }
    // The units' information carries their calibration: the first records need it.
    const std::vector<int32_t> missing = ChannelsWithoutInformation();
    if (!missing.empty() && ++m_informationPolls < kInformationWaitMs / kPollMs)
        return;
    if (!missing.empty()) {
        std::string list;
        for (int32_t channel : missing) list += (list.empty() ? "" : ", ") + std::to_string(channel);
        std::fprintf(stderr,
                     "hollowmere-record: no unit information (calibration) from channel%s %s; "
                     "starting without it\n",
                     missing.size() > 1 ? "s" : "", list.c_str());
    }
    m_started = true;
    m_poll.stop();
    TRunOptions run;
    run.dataFile = m_options.outFile;
    run.stopTime = m_options.StopTime(VEK::CSystemTime::Now());
    run.recordCount = m_options.records;
    if (m_controller.StartMeasurement(run) < 0) {
        QCoreApplication::exit(1);
        return;
    }
    std::fprintf(stderr, "hollowmere-record: measuring\n");
}

std::vector<int32_t> CHeadlessRecorder::ChannelsWithoutInformation() {
    std::vector<int32_t> missing;
    for (int32_t channel : m_controller.Store().ChannelsInUse()) {
        if (!m_controller.Store().UnitInformation(channel).IsPresent())
            missing.push_back(channel);
    }
    return missing;
}

void CHeadlessRecorder::OnQuitSignal() {
    if (m_controller.RunState() == CMeasurementDataManager::kStateMeasuring) {
        m_controller.FinishMeasurement();
    } else if (!m_ended) {
        // Nothing was measured: nothing to save.
        m_ended = true;
        m_controller.Shutdown();
        QCoreApplication::exit(1);
    }
}

void CHeadlessRecorder::ShowMessage(EIcon icon, const std::string& text) {
    ClearProgressLine();
    std::fprintf(stderr, "hollowmere-record: %s%s\n", icon == EIcon::kError ? "error: " : "", text.c_str());
}

bool CHeadlessRecorder::WaitForStopConfirmation(const std::function<bool()>&) {
    // Never asked: the recorder's stop waits are limited and wait by themselves.
    return true;
}

void CHeadlessRecorder::OnSamplingTick() {
    if (!m_progressOnTerminal)
        return;
    const CMeasurementDataManager& store = m_controller.Store();
    const std::string publishing =
        m_controller.IsPublishing() ? ", " + m_controller.PublishStatus().Text() + "\033[K" : "";
    std::fprintf(stderr, "\rRecording: %u records%s", store.RecordsThisRun(), publishing.c_str());
    m_progressShown = true;
}

void CHeadlessRecorder::ClearProgressLine() {
    if (m_progressShown)
        std::fprintf(stderr, "\r\033[K");
    m_progressShown = false;
}

void CHeadlessRecorder::OnKeepAwakeChanged(bool requested) {
    std::fprintf(stderr, "hollowmere-record: keep-awake %s\n", requested ? "requested" : "released");
}

void CHeadlessRecorder::OnPublishStatusChanged() {
    const TMqttStatus status = m_controller.PublishStatus();
    if (m_publishState == status.state)
        return;
    m_publishState = status.state;
    ClearProgressLine();
    std::fprintf(stderr, "hollowmere-record: %s\n", status.Text().c_str());
}

void CHeadlessRecorder::OnRunEnded(bool deviceError) {
    if (m_ended)
        return;
    m_ended = true;
    QMetaObject::invokeMethod(
        this, [this, deviceError] { Conclude(deviceError); }, Qt::QueuedConnection);
}

void CHeadlessRecorder::Conclude(bool deviceError) {
    ClearProgressLine();
    const bool saved = m_controller.Store().SavedPath() == m_options.outFile;
    PrintRecordSummary(m_controller.Store());
    // The dongle goes back to standby, as when the application quits.
    m_controller.LimitStopWait();
    if (!m_controller.RunStopSequence())
        std::fprintf(stderr, "hollowmere-record: the dongle did not confirm the stop; standby sent\n");
    // The last records and the state "finished" (or "device error") go before the goodbye.
    m_controller.StopPublishing(kPublishDrain);
    m_controller.Shutdown();
    QCoreApplication::exit(deviceError || !saved ? 1 : 0);
}
