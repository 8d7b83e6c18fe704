#include "controller/MeasurementRun.h"

#include <QMetaObject>
#include <algorithm>
#include <cstdio>

#include "controller/DongleLink.h"
#include "controller/IMeasurementView.h"
#include "controller/MeasurementSignals.h"
#include "controller/OperatorMessages.h"
#include "controller/SharedParameters.h"
#include "data/MeasurementDataManager.h"
#include "data/SamplingRate.h"
#include "files/CodeTables.h"
#include "files/DataFile.h"
#include "files/TraceLogger.h"

namespace {
constexpr int kSecondMs = 1000;
// The lists call a channel lost after this many periods without a report, never sooner than a second.
constexpr uint32_t kLostPeriods = 5;
// Periods past the last record that late reports get before a run with a record count ends without
// them: a unit that missed cycles sends what it holds with its next report and catches up on as many
// as ten.
constexpr uint32_t kLatePeriods = 10;
// At exit the broker gets this long for what still waits; the rest stays in the spill file.
constexpr std::chrono::milliseconds kExitDrain{5000};

int64_t NowMs() {
    return VEK::CSystemTime::Now().ToEpochMilliseconds();
}
}  // namespace

CMeasurementRun::CMeasurementRun(CMeasurementDataManager& store, CSharedParameters& parameters,
                                 CDongleLink& link, CMeasurementSignals& notifier, IMeasurementView& view,
                                 QObject* parent)
    : QObject(parent),
      m_store(store),
      m_parameters(parameters),
      m_link(link),
      m_notifier(notifier),
      m_view(view),
      m_timers([this](int id) { OnTimer(id); }, this),
      m_tick(m_store, [this](uint32_t clock) {
          QMetaObject::invokeMethod(
              this, [this, clock] { OnSamplingTick(clock); }, Qt::QueuedConnection);
      }) {}

CMeasurementRun::~CMeasurementRun() {
    Shutdown();
}

int CMeasurementRun::Start(const TRunOptions& options) {
    m_options = options;
    m_stopTimeMs = options.stopTime.IsValid() ? options.stopTime.ToEpochMilliseconds() : 0;
    emit m_notifier.holdAndCursorReleased();
    // A new system number gets its own topics before its first record.
    if (m_publisher != nullptr && options.publish)
        m_publisher->Follow(m_parameters.MeasurementSetup().systemNumber);
    const int r = StartPolling();
    if (r < 0)
        AbandonStart();
    emit m_notifier.statusChanged();
    emit m_notifier.rebuildRequested();
    if (r < 0) {
        if (options.reportFailure)
            m_view.ShowMessage(IMeasurementView::EIcon::kError, OperatorMessage::kStartFailed);
        return r;
    }
    if (m_publisher != nullptr && options.publish)
        m_publisher->RunStarted(m_store, options.recordCount);
    m_keepAwake.Acquire();
    emit m_notifier.keepAwakeChanged(true);
    if (options.workingFile && m_workingFile.Start(m_store, m_fileView))
        m_timers.Start(kTimerWorkingFile, kSecondMs);
    FileProblemChanged();
    return r;
}

int CMeasurementRun::StartPolling() {
    if (!m_link.IsConnected())
        return -1;
    if (m_store.State() != CMeasurementDataManager::kStateMeasuring) {
        const int r = m_link.SendPollingSetting(true);
        if (r != 0)
            return r;
    }
    // The last run's clock must not count for this one, nor its ticks still on their way.
    m_tick.Stop();
    m_timers.Stop(kTimerWorkingFile);
    m_saveProblem.clear();
    // Start time now, no file name (the store's setup step).
    m_store.Start(m_parameters.MeasurementSetup());
    emit m_notifier.pollingStarted(m_store.SamplingRateCode());
    m_unsavedRun = false;
    m_timers.Start(kTimerRefreshLists, kSecondMs);
    const uint32_t period = SamplingPeriodMilliseconds(m_store.SamplingRateCode());
    m_tick.Start(period);
    emit m_notifier.statusChanged();
    if (m_stopTimeMs != 0)
        m_timers.Start(kTimerRemainingTime, kSecondMs);
    emit m_notifier.lostTimeoutChanged(std::max<uint32_t>(kLostPeriods * period, kSecondMs));
    const std::string rate = VEK::SamplingRateName(static_cast<int>(m_store.SamplingRateCode()));
    VEK::TraceLogger().Trace("測定を開始しました(周期=%s)。", rate.c_str());
    return 0;
}

void CMeasurementRun::AbandonStart() {
    emit m_notifier.listsRefreshDue();
    m_link.Detach();
    m_tick.Stop();
    m_timers.Stop(kTimerRefreshLists);
    m_timers.Stop(kTimerRemainingTime);
    m_store.Reset(m_parameters.MeasurementSetup());
}

bool CMeasurementRun::EndRun(ERunState state) {
    const uint32_t measured = m_store.RecordCount();
    m_store.Stop();
    if (const uint64_t dropped = m_store.DroppedSamples(); dropped != 0)
        VEK::TraceLogger().Trace("記録位置を決められないサンプルを%llu個破棄しました。",
                                 static_cast<unsigned long long>(dropped));
    // A run for a number of records ends once they are in: it keeps exactly those, whatever the
    // stop trims from an uneven last second after them.
    if (m_options.recordCount != 0 && measured >= m_options.recordCount)
        m_store.SetRecordCount(m_options.recordCount);
    bool saved = true;
    if (!m_options.dataFile.empty()) {
        std::string problem;
        saved = VEK::SaveDataFile(m_options.dataFile, m_store, m_fileView, {}, &problem);
        m_saveProblemPath = m_options.dataFile;
        m_saveProblem = saved ? "" : m_options.dataFile + ": " + problem;
    }
    m_timers.Stop(kTimerWorkingFile);
    // A run without a working file of its own leaves the last run's file as it is.
    if (m_options.workingFile && !m_workingFile.Path().empty())
        AppendWorkingFile(true);
    if (m_publisher != nullptr)
        m_publisher->RunEnded(m_store, state);
    FileProblemChanged();
    m_unsavedRun = m_store.SavedPath().empty() || m_store.IsModified();
    m_timers.Stop(kTimerRemainingTime);
    ReleaseKeepAwake();
    return saved;
}

void CMeasurementRun::ReleaseKeepAwake() {
    if (!m_keepAwake.Requested())
        return;
    m_keepAwake.Release();
    emit m_notifier.keepAwakeChanged(false);
}

void CMeasurementRun::Finish() {
    m_timers.Stop(kTimerRefreshLists);
    emit m_notifier.lostTimeoutChanged(0);
    emit m_notifier.holdAndCursorReleased();
    const bool wasMeasuring = m_store.State() == CMeasurementDataManager::kStateMeasuring;
    if (wasMeasuring)
        m_link.SendPollingSetting(false);
    const bool saved = EndRun(ERunState::kFinished);
    VEK::TraceLogger().Trace("測定を停止しました。");
    emit m_notifier.statusChanged();
    emit m_notifier.rebuildRequested();
    if (!saved)
        m_view.ShowMessage(IMeasurementView::EIcon::kError, SaveFailedMessage());
    if (wasMeasuring)
        emit m_notifier.runEnded(false);
}

bool CMeasurementRun::EndAfterDeviceError() {
    m_tick.Stop();
    m_timers.Stop(kTimerRefreshLists);
    emit m_notifier.lostTimeoutChanged(0);
    const bool saved = EndRun(ERunState::kDeviceError);
    VEK::TraceLogger().Trace("測定を停止しました。");
    return saved;
}

void CMeasurementRun::Adopt(CMeasurementDataManager& loaded) {
    m_timers.Stop(kTimerWorkingFile);
    m_store.TakeLoaded(loaded);
    m_unsavedRun = false;
    emit m_notifier.statusChanged();
    emit m_notifier.rebuildRequested();
}

bool CMeasurementRun::Recover(const std::string& path, VEK::TDataFileView& fileView) {
    if (!m_workingFile.Adopt(path))
        return false;
    m_timers.Stop(kTimerWorkingFile);
    const TMeasurementSetup reset = m_parameters.MeasurementSetup();
    if (!VEK::LoadDataFile(path, m_store, fileView, reset) || !fileView.workingFile) {
        m_workingFile.Release();
        m_store.Reset(reset);
        return false;
    }
    m_unsavedRun = true;
    emit m_notifier.statusChanged();
    emit m_notifier.rebuildRequested();
    return true;
}

void CMeasurementRun::Discard() {
    m_timers.Stop(kTimerRefreshLists);
    m_timers.Stop(kTimerWorkingFile);
    m_tick.Stop();
    // The plant still gets what was measured before the data go.
    if (m_publisher != nullptr && m_store.State() == CMeasurementDataManager::kStateMeasuring)
        m_publisher->RunEnded(m_store, ERunState::kFinished);
    m_store.Reset(m_parameters.MeasurementSetup());
}

void CMeasurementRun::DataSaved() {
    m_unsavedRun = false;
    m_timers.Stop(kTimerWorkingFile);
    m_workingFile.Delete();
    m_saveProblem.clear();
    FileProblemChanged();
}

bool CMeasurementRun::SaveData(const std::string& path, std::string& problem) {
    if (!VEK::SaveDataFile(path, m_store, m_fileView, {}, &problem)) {
        m_saveProblemPath = path;
        m_saveProblem = path + ": " + problem;
        FileProblemChanged();
        return false;
    }
    DataSaved();
    return true;
}

bool CMeasurementRun::WriteDataCopy(const std::string& path, std::string& problem) {
    return VEK::WriteDataFileAtomically(path, m_store, m_fileView, {}, &problem);
}

std::string CMeasurementRun::FileProblem(bool namesOnly) const {
    // Each problem begins with its file's path.
    const auto named = [namesOnly](const std::string& problem, const std::string& path) {
        if (!namesOnly || path.empty() || problem.compare(0, path.size(), path) != 0)
            return problem;
        return path.substr(path.find_last_of('/') + 1) + problem.substr(path.size());
    };
    std::string text;
    if (!m_workingFile.Problem().empty())
        text = "Working file " + named(m_workingFile.Problem(), m_workingFile.ProblemPath());
    if (!m_saveProblem.empty())
        text +=
            (text.empty() ? "" : "\n") + std::string("Data file ") + named(m_saveProblem, m_saveProblemPath);
    return text;
}

std::string CMeasurementRun::SaveFailedMessage() const {
    std::string text = std::string(OperatorMessage::kSaveFailed) + "\n" + m_saveProblem;
    if (m_workingFile.Path().empty())
        return text;
    if (m_workingFile.Problem().empty())
        return text + "\nThe working file " + m_workingFile.Path() + " holds every record of the run.";
    return text + "\nThe working file " + m_workingFile.Path() +
           " lacks the newest rows; they are written as soon as it can be written.";
}

void CMeasurementRun::AppendWorkingFile(bool final) {
    const bool appended = m_workingFile.Append(m_store, final);
    // After the run the rows that could not be written are tried again every second, for as long
    // as the store holds the run.
    if (final && appended)
        m_timers.Stop(kTimerWorkingFile);
    else if (final)
        m_timers.Start(kTimerWorkingFile, kSecondMs);
    FileProblemChanged();
}

void CMeasurementRun::FileProblemChanged() {
    const std::string text = FileProblem();
    if (text == m_fileProblemTold)
        return;
    m_fileProblemTold = text;
    if (m_publisher != nullptr)
        m_publisher->ReportProblem(text);
    emit m_notifier.fileProblemChanged();
}

void CMeasurementRun::Shutdown() {
    m_timers.StopAll();
    m_tick.Stop();
    m_keepAwake.Release();
    StopPublishing(kExitDrain);
    if (!m_unsavedRun && m_store.State() != CMeasurementDataManager::kStateMeasuring)
        m_workingFile.Delete();
}

void CMeasurementRun::StartPublishing(std::unique_ptr<CRecordPublisher> publisher) {
    m_publisher = std::move(publisher);
    m_publisher->Follow(m_parameters.MeasurementSetup().systemNumber);
    m_publishStatusText.clear();
    CheckPublishStatus();
    m_timers.Start(kTimerPublishStatus, kSecondMs);
}

void CMeasurementRun::StopPublishing(std::chrono::milliseconds drain) {
    if (m_publisher == nullptr || m_publisher->Stopped())
        return;
    m_timers.Stop(kTimerPublishStatus);
    m_publisher->Stop(drain);
    CheckPublishStatus();
}

TMqttStatus CMeasurementRun::PublishStatus() const {
    return m_publisher != nullptr ? m_publisher->Status() : TMqttStatus{};
}

void CMeasurementRun::CheckPublishStatus() {
    const std::string text = m_publisher->Status().Text();
    if (text == m_publishStatusText)
        return;
    m_publishStatusText = text;
    emit m_notifier.publishStatusChanged();
}

std::string CMeasurementRun::StatusText() const {
    if (m_store.State() != CMeasurementDataManager::kStateMeasuring)
        return m_link.IsConnected() ? "Ready" : "Not Ready";
    if (m_stopTimeMs == 0)
        return "Measuring";
    // Never negative: past the stop time the next tick ends the run.
    const int64_t s = std::max<int64_t>(0, (m_stopTimeMs - NowMs()) / kSecondMs);
    char text[64];
    std::snprintf(text, sizeof text, "Measuring\nRemaining Time: %d:%02d:%02d", static_cast<int>(s / 3600),
                  static_cast<int>((s / 60) % 60), static_cast<int>(s % 60));
    return text;
}

void CMeasurementRun::OnSamplingTick(uint32_t clock) {
    if (clock != m_tick.CurrentStart() || m_store.State() != CMeasurementDataManager::kStateMeasuring)
        return;
    if (m_store.RecordsThisRun() >= m_link.RecordLimit()) {
        Finish();
        m_view.ShowMessage(IMeasurementView::EIcon::kInformation, OperatorMessage::kRecordLimit);
        return;
    }
    if (m_options.recordCount != 0 && RunRecordsComplete()) {
        Finish();
        return;
    }
    // Absolute times: a change of daylight-saving time moves neither side.
    if (m_stopTimeMs != 0 && NowMs() > m_stopTimeMs) {
        Finish();
        return;
    }
    if (m_publisher != nullptr)
        m_publisher->PublishComplete(m_store);
    emit m_notifier.samplingTick();
}

bool CMeasurementRun::RunRecordsComplete() const {
    const uint32_t records = m_store.RecordsThisRun();
    if (records < m_options.recordCount)
        return false;
    if (records >= m_options.recordCount + kLatePeriods)
        return true;
    for (int32_t channel : m_store.ChannelsInUse()) {
        if (CMeasurementDataManager::GetReading(m_store.Channel(channel), m_options.recordCount - 1) ==
            kReadingLost)
            return false;
    }
    return true;
}

void CMeasurementRun::OnTimer(int id) {
    switch (id) {
        case kTimerRefreshLists:
            emit m_notifier.listsRefreshDue();
            break;
        case kTimerRemainingTime:
            if (m_store.State() != CMeasurementDataManager::kStateMeasuring || m_stopTimeMs == 0)
                m_timers.Stop(kTimerRemainingTime);
            emit m_notifier.statusChanged();
            break;
        case kTimerWorkingFile:
            AppendWorkingFile(m_store.State() != CMeasurementDataManager::kStateMeasuring);
            break;
        case kTimerPublishStatus:
            CheckPublishStatus();
            break;
        default:
            break;
    }
}
