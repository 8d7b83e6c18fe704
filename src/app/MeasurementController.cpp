#include "app/MeasurementController.h"

#include <QCoreApplication>
#include <algorithm>

#include "app/AppMessage.h"
#include "data/Reading.h"
#include "data/SamplingRate.h"
#include "files/CodeTables.h"
#include "files/DataFile.h"
#include "files/TraceLogger.h"
#include "protocol/DongleOperations.h"

namespace {
constexpr const char* kLimitMessage =
    "Stopped measurement because the number of measurement data exceeded the maximum value (0xFFFFFFFF).";
constexpr const char* kSaveFailedMessage = "Failed to save data to the file.";
constexpr const char* kStartFailedMessage = "Failed to start measurement.";

int64_t NowMs() {
    return VEK::CSystemTime::Now().ToEpochMilliseconds();
}
}  // namespace

CMeasurementController::CMeasurementController(VEK::TParameterSet& parameters, IMeasurementView& view,
                                               QObject* parent)
    : QObject(parent),
      m_parameters(parameters),
      m_view(view),
      m_timers([this](int id) { OnTimer(id); }, this),
      m_tick(m_store, [this] { Post(kMessageSamplingTick); }) {
    m_store.Reset(MeasurementSetup());
}

CMeasurementController::~CMeasurementController() {
    Shutdown();
}

void CMeasurementController::Shutdown() {
    m_timers.StopAll();
    m_commander.SetListener(nullptr);
    m_commander.Detach();
    m_tick.Stop();
    m_keepAwake.Release();
    if (!m_unsavedRun && m_store.State() != CMeasurementDataManager::kStateMeasuring)
        m_workingFile.Delete();
}

void CMeasurementController::Post(uint32_t message, uint32_t word, uint32_t lparam) {
    QCoreApplication::postEvent(this, new CAppMessageEvent(message, word, lparam));
}

void CMeasurementController::PostChannelLost(int channel) {
    Post(kMessageChannelLost, static_cast<uint32_t>(channel));
}

QNL::TDongleCommandSettings CMeasurementController::CommandSettings() const {
    QNL::TDongleCommandSettings settings;
    settings.systemNumber = static_cast<uint8_t>(m_parameters.systemNumber);
    settings.pollingSetting = PollingSetting();
    settings.commandTimeoutMs = m_parameters.commandTimeoutMs;
    settings.commandRetries = m_parameters.commandRetries;
    return settings;
}

TPollingSetting CMeasurementController::PollingSetting() const {
    std::lock_guard lock(m_pollingLock);
    return m_parameters.polling;
}

TMeasurementSetup CMeasurementController::MeasurementSetup() const {
    TMeasurementSetup setup;
    setup.systemNumber = m_parameters.systemNumber;
    setup.pollingSetting = PollingSetting();
    setup.thermocoupleType = m_parameters.thermocoupleType;
    setup.comment = m_parameters.comment;
    setup.temperatureUnit = m_parameters.temperatureUnit;
    return setup;
}

int CMeasurementController::Send(const IPacket& packet) {
    std::lock_guard lock(m_commandLock);
    return m_commander.Send(packet);
}

int CMeasurementController::Exchange(IPacket& response, const IPacket& command, int timeoutMs) {
    std::lock_guard lock(m_commandLock);
    return m_commander.Exchange(response, command, timeoutMs);
}

std::string CMeasurementController::StatusText() const {
    if (m_store.State() == CMeasurementDataManager::kStateMeasuring) {
        if (m_stopTimeMs == 0)
            return "Measuring";
        // Never negative: past the stop time the next tick ends the run.
        const int64_t s = std::max<int64_t>(0, (m_stopTimeMs - NowMs()) / 1000);
        char text[64];
        std::snprintf(text, sizeof text, "Measuring\nRemaining Time: %d:%02d:%02d",
                      static_cast<int>(s / 3600), static_cast<int>((s / 60) % 60), static_cast<int>(s % 60));
        return text;
    }
    return IsConnected() ? "Ready" : "Not Ready";
}

int CMeasurementController::StartPolling() {
    if (!IsConnected())
        return -1;
    if (m_store.State() != CMeasurementDataManager::kStateMeasuring) {
        const int r = QNL::SendPollingSetting(*this, CommandSettings(), true);
        if (r != 0)
            return r;
    }
    // Start time now, no file name (the store's setup step).
    m_store.Start(MeasurementSetup());
    m_unsavedRun = false;
    m_timers.Start(kTimerRefreshLists, 1000);
    const uint32_t period = SamplingPeriodMilliseconds(m_store.SamplingRateCode());
    m_tick.Start(period);
    m_view.RefreshStatus();
    if (m_stopTimeMs != 0)
        m_timers.Start(kTimerRemainingTime, 1000);
    m_view.SetLostTimeout(std::max<uint32_t>(5 * period, 1000));
    const std::string rate = VEK::SamplingRateName(static_cast<int>(m_store.SamplingRateCode()));
    VEK::TraceLogger().Trace("測定を開始しました(周期=%s)。", rate.c_str());
    return 0;
}

void CMeasurementController::AbandonStart() {
    m_view.RefreshLists();
    m_commander.Detach();
    m_tick.Stop();
    m_timers.Stop(kTimerRefreshLists);
    m_timers.Stop(kTimerRemainingTime);
    m_store.Reset(MeasurementSetup());
}

int CMeasurementController::StartMeasurement(const std::string& dataFile, const VEK::CSystemTime& stopTime,
                                             uint32_t recordCount) {
    m_dataFileName = dataFile;
    m_runRecords = recordCount;
    m_stopTimeMs = stopTime.IsValid() ? stopTime.ToEpochMilliseconds() : 0;
    m_view.ReleaseHoldAndCursor();
    const int r = StartPolling();
    if (r < 0)
        AbandonStart();
    m_view.RefreshStatus();
    m_view.RebuildLists();
    if (r < 0) {
        m_view.ShowMessage(IMeasurementView::EIcon::kError, kStartFailedMessage);
        return r;
    }
    m_keepAwake.Acquire();
    m_view.KeepAwakeChanged(true);
    if (m_workingFile.Start(m_store, m_fileView))
        m_timers.Start(kTimerWorkingFile, 1000);
    return r;
}

void CMeasurementController::Execute(bool start) {
    const bool measuring = m_store.State() == CMeasurementDataManager::kStateMeasuring;
    if (start && !measuring) {
        m_dataFileName.clear();
        m_stopTimeMs = 0;
        m_runRecords = 0;
        m_view.ReleaseHoldAndCursor();
        if (StartPolling() < 0) {
            AbandonStart();
            m_view.RefreshStatus();
            return;
        }
        m_keepAwake.Acquire();
        m_view.KeepAwakeChanged(true);
    } else if (!start && measuring) {
        FinishMeasurement();
    }
}

bool CMeasurementController::EndRun() {
    const uint32_t measured = m_store.RecordCount();
    m_store.Stop();
    if (const uint64_t dropped = m_store.DroppedSamples(); dropped != 0)
        VEK::TraceLogger().Trace("記録位置を決められないサンプルを%llu個破棄しました。",
                                 static_cast<unsigned long long>(dropped));
    // A run for a number of records ends once they are in: it keeps exactly those, whatever the
    // stop trims from an uneven last second after them.
    if (m_runRecords != 0 && measured >= m_runRecords)
        m_store.SetRecordCount(m_runRecords);
    bool saved = true;
    if (!m_dataFileName.empty())
        saved = VEK::SaveDataFile(m_dataFileName, m_store, m_fileView);
    m_timers.Stop(kTimerWorkingFile);
    if (!m_workingFile.Path().empty())
        m_workingFile.Append(m_store, true);
    m_unsavedRun = m_store.SavedPath().empty() || m_store.IsModified();
    m_timers.Stop(kTimerRemainingTime);
    if (m_keepAwake.Requested()) {
        m_keepAwake.Release();
        m_view.KeepAwakeChanged(false);
    }
    return saved;
}

void CMeasurementController::FinishMeasurement() {
    m_timers.Stop(kTimerRefreshLists);
    m_view.SetLostTimeout(0);
    m_view.ReleaseHoldAndCursor();
    const bool wasMeasuring = m_store.State() == CMeasurementDataManager::kStateMeasuring;
    if (wasMeasuring)
        QNL::SendPollingSetting(*this, CommandSettings(), false);
    const bool saved = EndRun();
    VEK::TraceLogger().Trace("測定を停止しました。");
    m_view.RefreshStatus();
    m_view.RebuildLists();
    if (!saved)
        m_view.ShowMessage(IMeasurementView::EIcon::kError, kSaveFailedMessage);
    if (wasMeasuring)
        m_view.MeasurementEnded(false);
}

bool CMeasurementController::LoadData(const std::string& path, VEK::TDataFileView& fileView) {
    // The run's own rows go to its files before the store takes the loaded data.
    if (m_store.State() == CMeasurementDataManager::kStateMeasuring)
        FinishMeasurement();
    m_view.ReleaseHoldAndCursor();
    const bool loaded = VEK::LoadDataFile(path, m_store, fileView, MeasurementSetup());
    if (loaded) {
        m_unsavedRun = false;
        m_view.RefreshStatus();
        m_view.RebuildLists();
    } else {
        ResetToIdle();
    }
    return loaded;
}

void CMeasurementController::DataSaved() {
    m_unsavedRun = false;
    m_workingFile.Delete();
}

void CMeasurementController::OnSamplingTick() {
    if (m_store.State() != CMeasurementDataManager::kStateMeasuring)
        return;
    if (m_store.RecordsThisRun() >= m_recordLimit) {
        FinishMeasurement();
        m_view.ShowMessage(IMeasurementView::EIcon::kInformation, kLimitMessage);
        return;
    }
    if (m_runRecords != 0 && RunRecordsComplete()) {
        FinishMeasurement();
        return;
    }
    // Absolute times: a change of daylight-saving time moves neither side.
    if (m_stopTimeMs != 0 && NowMs() > m_stopTimeMs) {
        FinishMeasurement();
        return;
    }
    m_view.SamplingTick();
}

bool CMeasurementController::RunRecordsComplete() const {
    // Periods past the last record that late reports get before the run ends without them: a unit
    // that missed cycles sends what it holds with its next report and catches up on as many as ten.
    constexpr uint32_t kLatePeriods = 10;
    const uint32_t records = m_store.RecordsThisRun();
    if (records < m_runRecords)
        return false;
    if (records >= m_runRecords + kLatePeriods)
        return true;
    for (int32_t channel : m_store.ChannelsInUse()) {
        if (CMeasurementDataManager::GetReading(m_store.Channel(channel), m_runRecords - 1) == kReadingLost)
            return false;
    }
    return true;
}

void CMeasurementController::OnSamplesStored(int channel, uint32_t count, uint32_t firstIndex) {
    if (count > 0) {
        const CMeasurementDataManager::CChannel& series = m_store.Channel(channel);
        const int16_t newest = CMeasurementDataManager::GetReading(series, firstIndex + count - 1);
        // Blue marks offset-corrected channels once the offset table exists.
        const uint32_t colour = newest == kReadingLost ? kRgbRed : kRgbBlack;
        m_view.SetChannelValue(channel, FormatReading(newest, true), colour, IsValidReading(newest));
        m_view.SamplesStored(channel, count, firstIndex);
        return;
    }
    if (!m_store.UnitInformation(channel).IsPresent())
        return;
    if (m_store.State() == CMeasurementDataManager::kStateEmpty)
        m_view.SetChannelValue(channel, "Ready", kRgbBlack, false);
    m_view.UnitInformationChanged(channel);
    m_view.RefreshLists();
}

void CMeasurementController::customEvent(QEvent* event) {
    if (event->type() != CAppMessageEvent::EventType())
        return QObject::customEvent(event);
    const auto* message = static_cast<CAppMessageEvent*>(event);
    switch (message->Message()) {
        case kMessageConnectionEvent:
            OnConnectionEvent(static_cast<int>(message->Word()));
            break;
        case kMessageSamplesStored:
            OnSamplesStored(static_cast<int>(message->Word() & 0xFFFF), message->Word() >> 16,
                            message->Long());
            break;
        case kMessageSamplingTick:
            OnSamplingTick();
            break;
        case kMessageChannelLost:
            OnChannelLost(static_cast<int>(message->Word()));
            break;
        case kMessageResendPollingSetting:
            ResendPollingSetting();
            break;
        default:
            break;
    }
}

void CMeasurementController::OnTimer(int id) {
    switch (id) {
        case kTimerDeviceWatch:
            if (!m_commander.IsRunning() && !OpenDevice()) {
                m_connectionAttempted = true;
                m_view.RefreshStatus();
            }
            break;
        case kTimerRefreshLists:
            m_view.RefreshLists();
            break;
        case kTimerCompleteStop:
            // WaitForStop may have completed the stop before this posted start ran.
            m_timers.Stop(kTimerCompleteStop);
            if (StopFlags().pending)
                CompleteStop();
            break;
        case kTimerResendPolling:
            m_timers.Stop(kTimerResendPolling);
            Post(kMessageResendPollingSetting);
            break;
        case kTimerInformationRefresh:
            if (m_store.State() != CMeasurementDataManager::kStateEmpty) {
                m_timers.Stop(kTimerInformationRefresh);
                break;
            }
            SetAllInformationWanted();
            m_timers.Start(kTimerResendPolling, 500);
            m_view.RefreshLists();
            break;
        case kTimerRemainingTime:
            if (m_store.State() != CMeasurementDataManager::kStateMeasuring || m_stopTimeMs == 0)
                m_timers.Stop(kTimerRemainingTime);
            m_view.RefreshStatus();
            break;
        case kTimerWorkingFile:
            m_workingFile.Append(m_store, false);
            break;
        default:
            break;
    }
}
