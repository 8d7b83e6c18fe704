#include "recorder/HeadlessRecorder.h"

#include <unistd.h>

#include <QCoreApplication>
#include <cstdio>
#include <string>

#include "files/DeviceSettings.h"
#include "files/Settings.h"
#include "files/TraceLogger.h"

namespace {
constexpr int kPollMs = 200;
}  // namespace

CHeadlessRecorder::CHeadlessRecorder(const TRecordOptions& options, const VEK::TParameterSet& parameters,
                                     const VEK::TDataFileView& fileView,
                                     const std::optional<TMqttConnection>& mqtt)
    : m_options(options),
      m_parameters(parameters),
      m_controller(m_parameters, *this),
      m_mqtt(mqtt),
      m_saveWait(m_controller, options.outFile, std::chrono::seconds(options.saveWaitSeconds),
                 std::chrono::seconds(options.saveRetrySeconds),
                 [this](const CSaveWait::TResult& saved) { Finalize(saved); }) {
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
    connect(&m_controller, &CMeasurementSignals::fileProblemChanged, this,
            &CHeadlessRecorder::OnFileProblemChanged);
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
        ++m_waitedPolls;
        if (m_waitedPolls == kWaitNoticeSeconds * 1000 / kPollMs) {
            const std::string dongle = DongleDescription();
            std::fprintf(stderr, "hollowmere-record: waiting for the dongle (%s)...\n", dongle.c_str());
            VEK::TraceLogger().Trace("専用ドングルを待っています(%s)。", dongle.c_str());
        }
        if (m_options.waitSeconds != 0 && m_waitedPolls * kPollMs >= int64_t{m_options.waitSeconds} * 1000) {
            const std::string dongle = DongleDescription();
            std::fprintf(stderr, "hollowmere-record: no dongle (%s) within %u s; nothing was measured\n",
                         dongle.c_str(), m_options.waitSeconds);
            VEK::TraceLogger().Trace("%u 秒待っても専用ドングルが見つかりませんでした(%s)。",
                                     m_options.waitSeconds, dongle.c_str());
            m_poll.stop();
            m_ended = true;
            m_controller.Shutdown();
            QCoreApplication::exit(1);
        }
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

std::string CHeadlessRecorder::DongleDescription() const {
    const VEK::TDeviceSettings device = VEK::TDeviceSettings::Read(VEK::DefineParameterSection());
    char text[160];
    if (device.UsesTcp())
        std::snprintf(text, sizeof text, "the development TCP port %s:%d, define.ini hid-vid=tcp",
                      device.tcpAddress.c_str(), device.TcpPort());
    else
        std::snprintf(text, sizeof text, "USB vendor id 0x%04X, product id 0x%04X or 0x%04X",
                      device.VendorId(), device.ProductId(), VEK::TDeviceSettings::kSecondProductId);
    return text;
}

void CHeadlessRecorder::OnFileProblemChanged() {
    const std::string& problem = m_controller.WorkingFileProblem();
    if (problem == m_workingFileProblem)
        return;
    ClearProgressLine();
    if (!problem.empty())
        std::fprintf(
            stderr, "hollowmere-record: error: working file %s; the measurement goes on%s\n", problem.c_str(),
            m_controller.WorkingFilePath().empty() ? " without it"
                                                   : ", and the rows follow as soon as it can be written");
    else if (!m_workingFileProblem.empty() && !m_controller.WorkingFilePath().empty())
        std::fprintf(stderr, "hollowmere-record: working file %s written again, no row missing\n",
                     m_controller.WorkingFilePath().c_str());
    m_workingFileProblem = problem;
}

void CHeadlessRecorder::OnQuitSignal() {
    if (m_saveWait.Waiting()) {
        m_saveWait.LastTry();
    } else if (m_controller.RunState() == CMeasurementDataManager::kStateMeasuring) {
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
    m_deviceError = deviceError;
    const CMeasurementDataManager& store = m_controller.Store();
    if (store.SavedPath() == m_options.outFile || store.RecordCount() == 0) {
        Finalize({store.SavedPath() == m_options.outFile, store.SavedPath()});
        return;
    }
    // Never ends with records only this process holds.
    m_saveWait.Begin(m_controller.SaveProblem());
}

void CHeadlessRecorder::Finalize(const CSaveWait::TResult& saved) {
    // The counts before the stop sequence discards the data.
    m_summary = TRecordSummary::Of(m_controller.Store());
    m_summary.file = saved.file;
    // The dongle goes back to standby, as when the application quits.
    m_controller.LimitStopWait();
    if (!m_controller.RunStopSequence())
        std::fprintf(stderr, "hollowmere-record: the dongle did not confirm the stop; standby sent\n");
    if (m_controller.IsPublishing()) {
        const TMqttStatus last = m_controller.PublishStatus();
        // The last records and the state "finished" (or "device error") go before the goodbye.
        m_controller.StopPublishing(kPublishDrain);
        const TMqttStatus stopped = m_controller.PublishStatus();
        m_summary.publishing = {"broker: " + last.Text(),
                                "spill file: " + std::to_string(stopped.waiting) + " records wait" +
                                    (stopped.spillError.empty() ? "" : " (" + stopped.spillError + ")")};
    }
    m_controller.Shutdown();
    m_summary.Print();
    QCoreApplication::exit(m_deviceError || !saved.savedAsAsked ? 1 : 0);
}
