#include "controller/DongleLink.h"

#include <QMetaObject>
#include <algorithm>

#include "controller/MeasurementSignals.h"
#include "controller/SharedParameters.h"
#include "data/MeasurementDataManager.h"
#include "files/DeviceSettings.h"
#include "files/Settings.h"
#include "files/TraceLogger.h"
#include "link/ReportEvent.h"
#include "link/UsbHidFinder.h"
#include "protocol/DongleOperations.h"

namespace {
constexpr int kDeviceWatchMs = 1000;
// Information reports come in bursts: the polling setting goes again this long after the last.
constexpr int kResendDelayMs = 500;
// More information reports than this in a burst re-send the polling setting at once.
constexpr uint32_t kInformationBurst = 20;
constexpr int kInformationRefreshMs = 10000;
// A dongle that fails the connect sequence is asked again after 1, 2, 4, then every 8 device
// watches: a silent one blocks the window thread for the command time-outs of each try.
constexpr int kMaxRetryInterval = 8;
}  // namespace

CDongleLink::CDongleLink(CSharedParameters& parameters, CMeasurementDataManager& store,
                         CMeasurementSignals& notifier, QObject* parent)
    : QObject(parent),
      m_parameters(parameters),
      m_store(store),
      m_notifier(notifier),
      m_timers([this](int id) { OnTimer(id); }, this) {}

CDongleLink::~CDongleLink() {
    Close();
}

void CDongleLink::StartDeviceWatch() {
    m_timers.Start(kTimerDeviceWatch, kDeviceWatchMs);
    OnTimer(kTimerDeviceWatch);
}

void CDongleLink::Detach() {
    m_commander.Detach();
    // A dongle opened again is configured again before it is used.
    m_configured = false;
    m_watchesUntilRetry = 0;
}

void CDongleLink::DetachForNewSystemNumber() {
    Detach();
    m_connectionAttempted = false;
}

void CDongleLink::Close() {
    m_timers.StopAll();
    m_commander.SetListener(nullptr);
    m_commander.Detach();
}

bool CDongleLink::IsLinked() const {
    return m_commander.IsRunning() && m_target != nullptr && m_target->IsLinked();
}

VEK::TDeviceSettings CDongleLink::DeviceSettings() const {
    VEK::TDeviceSettings device = VEK::TDeviceSettings::Read(VEK::DefineParameterSection());
    if (m_transport) {
        device.vendorText = m_transport->vendorText;
        device.productText = m_transport->productText;
        device.tcpAddress = m_transport->tcpAddress;
    }
    return device;
}

bool CDongleLink::OpenDevice() {
    const VEK::TDeviceSettings device = DeviceSettings();
    m_recordLimit = static_cast<uint32_t>(device.recordLimit > 0 ? device.recordLimit
                                                                 : VEK::TDeviceSettings::kDefaultRecordLimit);
    m_commander.SetListener(m_listener);
    if (!device.UsesTcp())
        return OpenHidDevice(device.VendorId(), device.ProductId());
    // Port 0 in define.ini names no port; from the command line it asks for any free one.
    if (device.TcpPort() == 0 && !m_transport)
        return false;
    if (!OpenTcpServer(device.TcpPort(), device.tcpAddress))
        return false;
    if (m_transport)
        m_transport->productText = std::to_string(m_tcpServer.BoundPort());
    return true;
}

bool CDongleLink::OpenTcpServer(int port, const std::string& address) {
    if (port < 0 || port > 65535)
        return false;
    m_tcpServer.Stop();
    m_tcpServer.SetBindAddress(address);
    m_tcpServer.SetPort(static_cast<uint16_t>(port));
    m_tcpServer.SetReadGate([this] { return ReadsClient(); });
    return AttachTarget(m_tcpServer, m_tcpServer.Thread(), "開発用 TCPIP ポートをオープンしました。");
}

bool CDongleLink::OpenHidDevice(uint16_t vendorId, uint16_t productId) {
    VEK::CUsbHidFinder finder;
    std::vector<VEK::CUsbHidPathName> devices = finder.EnumerateDevices(vendorId, productId);
    for (const VEK::CUsbHidPathName& other :
         finder.EnumerateDevices(vendorId, VEK::TDeviceSettings::kSecondProductId))
        devices.push_back(other);
    if (devices.empty() || devices.front().path.empty())
        return false;
    m_hidReport.Transport().Close();
    if (!m_hidReport.Transport().SelectDevice(devices.front().path))
        return false;
    return AttachTarget(m_hidReport, m_hidReport.Thread(), "専用ドングルを発見しました。");
}

bool CDongleLink::AttachTarget(VEK::IReport& report, VEK::CThread& receiveThread, const char* logText) {
    if (!m_commander.SetTarget(&report) || !m_commander.Attach(&m_commander.Adapter()))
        return false;
    m_target = &report;
    VEK::TraceLogger().Trace("%s", logText);
    receiveThread.SetPriority(VEK::CThread::EPriority::Highest);
    return true;
}

int CDongleLink::SendPollingSetting(bool on) {
    return QNL::SendPollingSetting(*this, m_parameters.CommandSettings(), on);
}

int CDongleLink::SendPollingOff() {
    return QNL::SendPollingOff(*this, m_parameters.CommandSettings());
}

int CDongleLink::SendStandbyMode() {
    return QNL::SendStandbyMode(*this, m_parameters.CommandSettings());
}

int CDongleLink::Send(const IPacket& packet) {
    std::lock_guard lock(m_commandLock);
    return m_commander.Send(packet);
}

int CDongleLink::Exchange(IPacket& response, const IPacket& command, int timeoutMs) {
    const CAwaitingDongle awaiting(*this);
    std::lock_guard lock(m_commandLock);
    return m_commander.Exchange(response, command, timeoutMs);
}

void CDongleLink::AskEveryUnit() {
    m_parameters.SetAllInformationWanted();
    m_timers.Start(kTimerResendPolling, kResendDelayMs);
}

void CDongleLink::StartInformationRefresh() {
    m_timers.Start(kTimerInformationRefresh, kInformationRefreshMs);
}

void CDongleLink::PostLinkState(int kind) {
    if (kind == VEK::CReportEvent::kConnect || kind == VEK::CReportEvent::kDisconnect)
        QMetaObject::invokeMethod(
            this, [this, kind] { OnLinkState(kind); }, Qt::QueuedConnection);
}

void CDongleLink::OnLinkState(int kind) {
    if (kind == VEK::CReportEvent::kConnect) {
        m_retryInterval = 1;
        RunConnectSequence();
    } else {
        m_configured = false;
        m_watchesUntilRetry = 0;
        emit disconnected();
    }
}

void CDongleLink::RunConnectSequence() {
    m_connectionAttempted = true;
    m_configured =
        QNL::RunConnectSequence(*this, m_parameters.CommandSettings(), m_parameters.Firmware()) == 0;
    m_watchesUntilRetry = m_configured ? 0 : m_retryInterval;
    if (!m_configured)
        m_retryInterval = std::min(2 * m_retryInterval, kMaxRetryInterval);
    emit connected(m_configured);
}

void CDongleLink::InformationReportReceived() {
    if (++m_informationReports > kInformationBurst) {
        m_informationReports = 0;
        PostResend();
    } else {
        m_timers.RequestStart(kTimerResendPolling, kResendDelayMs);
    }
}

void CDongleLink::PostResend() {
    // One re-send waiting is enough.
    if (m_resendPosted.exchange(true))
        return;
    QMetaObject::invokeMethod(
        this,
        [this] {
            m_resendPosted = false;
            ResendPollingSetting();
        },
        Qt::QueuedConnection);
}

bool CDongleLink::ReadsClient() const {
    return m_awaiting > 0 || !m_windowThreadBehind || !m_windowThreadBehind();
}

void CDongleLink::ResendPollingSetting() {
    if (IsConnected())
        SendPollingSetting(m_store.State() == CMeasurementDataManager::kStateMeasuring);
}

void CDongleLink::PostChannelLost(int channel) {
    QMetaObject::invokeMethod(
        this, [this, channel] { OnChannelLost(channel); }, Qt::QueuedConnection);
}

void CDongleLink::OnChannelLost(int channel) {
    if (m_store.State() == CMeasurementDataManager::kStateMeasuring || channel < 1 ||
        channel > CMeasurementDataManager::kChannels)
        return;
    m_store.SetUnitInformation(channel, TUnitInformation{});
    m_parameters.SetInfoWanted(channel, true);
}

void CDongleLink::OnTimer(int id) {
    switch (id) {
        case kTimerDeviceWatch:
            if (!m_commander.IsRunning()) {
                if (!OpenDevice()) {
                    m_connectionAttempted = true;
                    emit m_notifier.statusChanged();
                }
            } else if (m_watchesUntilRetry > 0 && --m_watchesUntilRetry == 0 && IsLinked()) {
                RunConnectSequence();
            }
            break;
        case kTimerResendPolling:
            m_timers.Stop(kTimerResendPolling);
            PostResend();
            break;
        case kTimerInformationRefresh:
            if (m_store.State() != CMeasurementDataManager::kStateEmpty) {
                m_timers.Stop(kTimerInformationRefresh);
                break;
            }
            AskEveryUnit();
            emit m_notifier.listsRefreshDue();
            break;
        default:
            break;
    }
}
