// The controller's connection to the dongle and the stop handshake.
#include <QCoreApplication>
#include <chrono>
#include <thread>

#include "app/AppMessage.h"
#include "app/MeasurementController.h"
#include "files/DeviceSettings.h"
#include "files/Settings.h"
#include "files/TraceLogger.h"
#include "link/ReportEvent.h"
#include "link/UsbHidFinder.h"
#include "protocol/DongleOperations.h"

namespace {
constexpr const char* kDeviceErrorMessage = "Stopped measurement because DEVICE ERROR occurred.";
constexpr const char* kSaveFailedMessage = "Failed to save data to the file.";
}  // namespace

void CMeasurementController::StartDeviceWatch() {
    m_timers.Start(kTimerDeviceWatch, 1000);
    OnTimer(kTimerDeviceWatch);
}

bool CMeasurementController::IsConnected() const {
    return m_commander.IsRunning() && m_target != nullptr && m_target->IsLinked();
}

bool CMeasurementController::OpenDevice() {
    const VEK::TDeviceSettings device = VEK::TDeviceSettings::Read(VEK::DefineParameterSection());
    m_recordLimit = device.recordLimit > 0 ? static_cast<uint32_t>(device.recordLimit) : 0x7FFFFFFF;
    m_commander.SetListener(this);
    if (device.UsesTcp()) {
        const int port = device.TcpPort();
        if (port <= 0 || port > 65535)
            return false;
        m_tcpServer.Stop();
        m_tcpServer.SetBindAddress(device.tcpAddress);
        m_tcpServer.SetPort(static_cast<uint16_t>(port));
        if (!m_commander.SetTarget(&m_tcpServer) || !m_commander.Attach(&m_commander.Adapter()))
            return false;
        m_target = &m_tcpServer;
        VEK::TraceLogger().Trace("開発用 TCPIP ポートをオープンしました。");
        m_tcpServer.Thread().SetPriority(VEK::CThread::EPriority::Highest);
        return true;
    }
    VEK::CUsbHidFinder finder;
    std::vector<VEK::CUsbHidPathName> devices =
        finder.EnumerateDevices(device.VendorId(), device.ProductId());
    for (const VEK::CUsbHidPathName& other :
         finder.EnumerateDevices(device.VendorId(), VEK::TDeviceSettings::kSecondProductId))
        devices.push_back(other);
    if (devices.empty() || devices.front().path.empty())
        return false;
    m_hidReport.Transport().Close();
    if (!m_hidReport.Transport().SelectDevice(devices.front().path))
        return false;
    if (!m_commander.SetTarget(&m_hidReport) || !m_commander.Attach(&m_commander.Adapter()))
        return false;
    m_target = &m_hidReport;
    VEK::TraceLogger().Trace("専用ドングルを発見しました。");
    m_hidReport.Thread().SetPriority(VEK::CThread::EPriority::Highest);
    return true;
}

void CMeasurementController::DetachDongle() {
    m_commander.Detach();
    m_configured = false;
    m_connectionAttempted = false;
    m_view.RefreshStatus();
}

bool CMeasurementController::HandleLinkState(int kind) {
    if (kind == VEK::CReportEvent::kConnect || kind == VEK::CReportEvent::kDisconnect)
        Post(kMessageConnectionEvent, static_cast<uint32_t>(kind));
    return true;
}

void CMeasurementController::OnConnectionEvent(int kind) {
    if (kind == VEK::CReportEvent::kConnect) {
        m_connectionAttempted = true;
        const int r = QNL::RunConnectSequence(*this, CommandSettings(), m_parameters.firmware);
        m_configured = r == 0;
        if (r != 0 || m_store.State() == CMeasurementDataManager::kStateHolding)
            m_view.RefreshStatus();
        else
            ResetToIdle();
    } else if (kind == VEK::CReportEvent::kDisconnect) {
        OnDisconnect();
    }
}

void CMeasurementController::OnDisconnect() {
    m_configured = false;
    SetStopFlags(true, false);
    m_timers.Stop(kTimerCompleteStop);
    const int state = m_store.State();
    bool saved = true;
    if (state == CMeasurementDataManager::kStateMeasuring) {
        m_commander.Detach();
        m_tick.Stop();
        m_timers.Stop(kTimerRefreshLists);
        m_view.SetLostTimeout(0);
        // An unattended run is saved before any message can wait for the operator.
        saved = EndRun();
        VEK::TraceLogger().Trace("測定を停止しました。");
    } else if (state == CMeasurementDataManager::kStateEmpty) {
        for (int channel = 1; channel <= CMeasurementDataManager::kChannels; ++channel)
            m_view.SetChannelValue(channel, "", kRgbBlack, false);
    }
    SetAllInformationWanted();
    for (int channel = 1; channel <= CMeasurementDataManager::kChannels; ++channel) {
        m_store.SetUnitInformation(channel, TUnitInformation{});
        m_view.UnitInformationChanged(channel);
    }
    m_parameters.firmware = TFwVersionData{};
    m_view.RefreshLists();
    m_view.RefreshStatus();
    if (state == CMeasurementDataManager::kStateMeasuring) {
        m_view.RebuildLists();
        m_view.ShowMessage(IMeasurementView::EIcon::kError, kDeviceErrorMessage);
        if (!saved)
            m_view.ShowMessage(IMeasurementView::EIcon::kError, kSaveFailedMessage);
        m_view.MeasurementEnded(true);
    }
}

void CMeasurementController::ResetToIdle() {
    m_view.ReleaseHoldAndCursor();
    if (IsConnected())
        QNL::SendPollingSetting(*this, CommandSettings(), false);
    m_timers.Stop(kTimerRefreshLists);
    m_store.Reset(MeasurementSetup());
    SetAllInformationWanted();
    m_timers.Start(kTimerResendPolling, 500);
    m_view.RefreshStatus();
    m_view.RebuildLists();
    m_view.RefreshLists();
    m_view.SetLostTimeout(12000);
    m_timers.Start(kTimerInformationRefresh, 10000);
}

void CMeasurementController::SetAllInformationWanted() {
    std::lock_guard lock(m_pollingLock);
    for (int unit = 1; unit <= TPollingSetting::kUnits; ++unit)
        m_parameters.polling.SetInfoWanted(unit, true);
}

void CMeasurementController::ResendPollingSetting() {
    if (IsConnected())
        QNL::SendPollingSetting(*this, CommandSettings(),
                                m_store.State() == CMeasurementDataManager::kStateMeasuring);
}

void CMeasurementController::OnChannelLost(int channel) {
    if (m_store.State() == CMeasurementDataManager::kStateMeasuring || channel < 1 ||
        channel > CMeasurementDataManager::kChannels)
        return;
    m_store.SetUnitInformation(channel, TUnitInformation{});
    std::lock_guard lock(m_pollingLock);
    m_parameters.polling.SetInfoWanted(channel, true);
}

void CMeasurementController::SetStopFlags(bool done, bool pending) {
    std::lock_guard lock(m_stopFlagsLock);
    m_stopDone = done;
    m_stopPending = pending;
}

void CMeasurementController::SetStopDone(bool done) {
    std::lock_guard lock(m_stopFlagsLock);
    m_stopDone = done;
}

bool CMeasurementController::MarkPollingStopped() {
    std::lock_guard lock(m_stopFlagsLock);
    if (m_stopDone)
        return false;
    m_stopDone = true;
    m_stopPending = true;
    return true;
}

IMeasurementView::TStopFlags CMeasurementController::StopFlags() const {
    std::lock_guard lock(m_stopFlagsLock);
    return {m_stopDone, m_stopPending};
}

void CMeasurementController::RunStopSequence() {
    WaitForStop();
    StopPolling();
    WaitForStop();
}

void CMeasurementController::StopPolling() {
    if (IsConnected()) {
        SetStopDone(false);
        if (QNL::SendPollingOff(*this, CommandSettings()) != 0)
            SetStopDone(true);
    }
    m_store.Reset(MeasurementSetup());
    m_tick.Stop();
    m_timers.Stop(kTimerRefreshLists);
}

void CMeasurementController::WaitForStop() {
    if (!IsConnected())
        return;
    if (StopFlags().pending)
        CompleteStop();
    if (StopFlags().done)
        return;
    for (int i = 0; i < 120; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        if (StopFlags().done) {
            CompleteStop();
            return;
        }
    }
    const bool cancelled = m_view.WaitForStopConfirmation([this] {
        const IMeasurementView::TStopFlags flags = StopFlags();
        return flags.done && !flags.pending;
    });
    if (cancelled) {
        SetStopDone(true);
        CompleteStop();
        VEK::TraceLogger().Trace("測定停止処理を強制停止しました。");
    }
}

void CMeasurementController::CompleteStop() {
    {
        std::lock_guard lock(m_stopFlagsLock);
        m_stopPending = false;
    }
    m_timers.Stop(kTimerCompleteStop);
    QNL::SendStandbyMode(*this, CommandSettings());
}
