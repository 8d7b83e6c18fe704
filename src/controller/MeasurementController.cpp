#include "controller/MeasurementController.h"

#include "controller/IMeasurementView.h"
#include "controller/OperatorMessages.h"
#include "files/DataFile.h"

namespace {
// Lost detection of the lists while idle.
constexpr uint32_t kIdleLostTimeoutMs = 12000;
// What was received waits this long for the window thread before a client of the development port
// is held back.
constexpr auto kWindowThreadBacklog = std::chrono::milliseconds(250);
}  // namespace

CMeasurementController::CMeasurementController(VEK::TParameterSet& parameters, IMeasurementView& view,
                                               QObject* parent)
    : CMeasurementSignals(parent),
      m_view(view),
      m_parameters(parameters),
      m_link(m_parameters, m_store, *this),
      m_stop(m_link, view),
      m_receivePath(m_store, m_parameters, m_link, m_stop, *this),
      m_run(m_store, m_parameters, m_link, *this, view) {
    m_link.SetListener(&m_receivePath);
    m_link.SetBacklogCheck([this] { return m_receivePath.WindowThreadBehind(kWindowThreadBacklog); });
    connect(&m_link, &CDongleLink::connected, this, &CMeasurementController::OnConnected);
    connect(&m_link, &CDongleLink::disconnected, this, &CMeasurementController::OnDisconnected);
    m_store.Reset(m_parameters.MeasurementSetup());
}

CMeasurementController::~CMeasurementController() {
    Shutdown();
}

void CMeasurementController::Shutdown() {
    m_link.Close();
    m_stop.Reset();
    m_run.Shutdown();
}

void CMeasurementController::StartDeviceWatch() {
    m_link.StartDeviceWatch();
}

int CMeasurementController::StartMeasurement(const TRunOptions& options) {
    TakeOffsets();
    return m_run.Start(options);
}

void CMeasurementController::TakeOffsets() {
    m_receivePath.SetOffsets(VEK::ChannelOffsets(m_offsetTable));
    m_store.SetAdjustedChannels(VEK::AdjustedChannelList(m_offsetTable));
}

void CMeasurementController::OffsetsAdjusted() {
    m_store.SetAdjustedChannels(VEK::AdjustedChannelList(m_offsetTable));
    ResetToIdle();
}

void CMeasurementController::FinishMeasurement() {
    m_run.Finish();
}

void CMeasurementController::Execute(bool start) {
    const bool measuring = m_store.State() == CMeasurementDataManager::kStateMeasuring;
    if (start && !measuring)
        StartMeasurement(TRunOptions{.workingFile = false, .reportFailure = false, .publish = false});
    else if (!start && measuring)
        m_run.Finish();
}

void CMeasurementController::AdoptLoadedData(CMeasurementDataManager& loaded) {
    // The run's own rows go to its files before the store takes the loaded data.
    if (m_store.State() == CMeasurementDataManager::kStateMeasuring)
        m_run.Finish();
    emit holdAndCursorReleased();
    m_run.Adopt(loaded);
}

bool CMeasurementController::RecoverRun(const std::string& path, VEK::TDataFileView& fileView) {
    if (m_store.State() == CMeasurementDataManager::kStateMeasuring)
        return false;
    emit holdAndCursorReleased();
    const bool recovered = m_run.Recover(path, fileView);
    if (!recovered)
        ResetToIdle();
    return recovered;
}

void CMeasurementController::ResetToIdle() {
    emit holdAndCursorReleased();
    if (m_link.IsConnected())
        m_link.SendPollingSetting(false);
    m_run.Discard();
    m_link.AskEveryUnit();
    emit statusChanged();
    emit rebuildRequested();
    emit listsRefreshDue();
    emit lostTimeoutChanged(kIdleLostTimeoutMs);
    m_link.StartInformationRefresh();
}

void CMeasurementController::DetachDongle() {
    m_link.DetachForNewSystemNumber();
    emit statusChanged();
}

bool CMeasurementController::RunStopSequence() {
    bool confirmed = m_stop.WaitForStop();
    m_stop.StopPolling();
    m_run.Discard();
    confirmed = m_stop.WaitForStop() && confirmed;
    return confirmed;
}

void CMeasurementController::LimitStopWait(std::chrono::milliseconds limit) {
    m_stop.LimitWait(limit);
}

void CMeasurementController::OnConnected(bool configured) {
    if (!configured || m_store.State() == CMeasurementDataManager::kStateHolding)
        emit statusChanged();
    else
        ResetToIdle();
}

void CMeasurementController::OnDisconnected() {
    m_stop.Reset();
    const int state = m_store.State();
    bool saved = true;
    if (state == CMeasurementDataManager::kStateMeasuring) {
        m_link.Detach();
        // An unattended run is saved before any message can wait for the operator.
        saved = m_run.EndAfterDeviceError();
    } else if (state == CMeasurementDataManager::kStateEmpty) {
        for (int channel = 1; channel <= CMeasurementDataManager::kChannels; ++channel)
            emit channelValueChanged(channel, TChannelValue{});
    }
    m_parameters.SetAllInformationWanted();
    for (int channel = 1; channel <= CMeasurementDataManager::kChannels; ++channel) {
        m_store.SetUnitInformation(channel, TUnitInformation{});
        emit unitInformationChanged(channel);
    }
    m_parameters.Firmware() = TFwVersionData{};
    emit listsRefreshDue();
    emit statusChanged();
    if (state == CMeasurementDataManager::kStateMeasuring) {
        emit rebuildRequested();
        m_view.ShowMessage(IMeasurementView::EIcon::kError, OperatorMessage::kDeviceError);
        if (!saved)
            m_view.ShowMessage(IMeasurementView::EIcon::kError, m_run.SaveFailedMessage());
        emit runEnded(true);
    }
}
