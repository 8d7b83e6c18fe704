#pragma once
#include <QObject>
#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>

#include "controller/TimerHost.h"
#include "files/DeviceSettings.h"
#include "link/CommunicationReporter.h"
#include "link/SocketServer.h"
#include "link/UsbHid.h"
#include "protocol/RfPacketCommander.h"

class CMeasurementDataManager;
class CMeasurementSignals;
class CSharedParameters;

// The controller's link to the dongle: the device watch opens the dongle (or the development TCP
// server) whenever no report runs, the report's connect event runs the connect sequence, unit
// discovery keeps asking for the units' information while idle with the polling setting's re-sends
// coalesced, and every dongle command goes through the command lock. Window thread, except where
// noted.
class CDongleLink : public QObject, public VEK::IPacketCommandExecuter {
    Q_OBJECT
public:
    enum ETimer {
        kTimerDeviceWatch = 2,
        kTimerResendPolling = 13,
        kTimerInformationRefresh = 14,
    };
    // All borrowed; they outlive the link.
    CDongleLink(CSharedParameters& parameters, CMeasurementDataManager& store, CMeasurementSignals& notifier,
                QObject* parent = nullptr);
    ~CDongleLink() override;

    // The dongle commander's listener from the next device opened on; borrowed.
    void SetListener(QNL::CRfPacketCommander::IListener* listener) { m_listener = listener; }
    // Asked on the receive thread: has what the receive path stored waited too long for the window
    // thread? A client of the development port is then not read until the window thread catches
    // up (the dongle itself always is: its reports would be lost). Set before the device watch.
    void SetBacklogCheck(std::function<bool()> behind) { m_windowThreadBehind = std::move(behind); }

    // While one lives the window thread waits for the dongle without handling its messages: the
    // dongle's frames are read whatever its backlog.
    class CAwaitingDongle {
    public:
        explicit CAwaitingDongle(CDongleLink& link) : m_link(link) { ++m_link.m_awaiting; }
        ~CAwaitingDongle() { --m_link.m_awaiting; }
        CAwaitingDongle(const CAwaitingDongle&) = delete;
        CAwaitingDongle& operator=(const CAwaitingDongle&) = delete;

    private:
        CDongleLink& m_link;
    };

    // The transport from the command line instead of define.ini ("hid-vid", "hid-pid",
    // "tcp-address"); a TCP port 0 takes any free port and keeps it for every reopening.
    void SetTransport(const VEK::TDeviceSettings& transport) { m_transport = transport; }
    // Device watch every second from now on (the first look right away).
    void StartDeviceWatch();
    // The report stops; the device watch opens the dongle afresh.
    void Detach();
    // A new system number: the dongle is opened and configured again.
    void DetachForNewSystemNumber();
    // At exit: no device watch, no listener, nothing attached.
    void Close();

    // The report runs and is linked to the dongle, configured or not.
    bool IsLinked() const;
    // Linked, and the last connect sequence configured the dongle: only then is it used.
    bool IsConnected() const { return m_configured && IsLinked(); }
    bool ConnectionAttempted() const { return m_connectionAttempted; }
    // The development TCP server is what the dongle commander runs.
    bool TcpServerRunning() const { return m_target == &m_tcpServer && m_commander.IsRunning(); }
    // The port the development TCP server listened on last; 0 before it ever did.
    uint16_t TcpServerPort() const { return m_tcpServer.BoundPort(); }
    // define.ini "rec-max", read at every attempt to open the dongle.
    uint32_t RecordLimit() const { return m_recordLimit; }

    // The dongle operations with the parameter set's system number, time-out and retries; 0 on
    // success.
    int SendPollingSetting(bool on);
    int SendPollingOff();
    int SendStandbyMode();

    // Unit discovery while idle: every unit's information is asked for with a polling setting
    // half a second from now, and again every ten seconds while the store stays empty.
    void AskEveryUnit();
    void StartInformationRefresh();

    // Receive thread: the report's state events.
    void PostLinkState(int kind);
    // Receive thread: an information report arrived. A burst of them leads to one re-send of the
    // polling setting half a second after the last, or at once after more than twenty.
    void InformationReportReceived();
    // Any thread: the lists report a channel that stopped reporting; while not measuring its
    // information is asked for again.
    void PostChannelLost(int channel);

    // Dongle commands, serialised by the command lock.
    int Send(const IPacket& packet) override;
    int Exchange(IPacket& response, const IPacket& command, int timeoutMs) override;

signals:
    // The report connected and the connect sequence ran; configured: it worked.
    void connected(bool configured);
    void disconnected();

private:
    bool OpenDevice();
    VEK::TDeviceSettings DeviceSettings() const;
    bool OpenTcpServer(int port, const std::string& address);
    bool OpenHidDevice(uint16_t vendorId, uint16_t productId);
    // Makes the report the commander's target and starts it; its receive thread gets the highest
    // normal priority.
    bool AttachTarget(VEK::IReport& report, VEK::CThread& receiveThread, const char* logText);
    void OnTimer(int id);
    void OnLinkState(int kind);
    // Firmware query, polling off, receive mode; a failure is tried again by the device watch,
    // at growing intervals.
    void RunConnectSequence();
    void OnChannelLost(int channel);
    void PostResend();
    void ResendPollingSetting();
    // Receive thread of the development port: read on, or hold the client back.
    bool ReadsClient() const;

    CSharedParameters& m_parameters;
    CMeasurementDataManager& m_store;
    CMeasurementSignals& m_notifier;
    QNL::CRfPacketCommander::IListener* m_listener = nullptr;

    // Transports before the commander, so that the commander (which stops its report) goes first.
    VEK::CSocketServer m_tcpServer;
    VEK::CCommunicationReporterT<VEK::CUsbHid> m_hidReport;
    QNL::CRfPacketCommander m_commander;
    VEK::IReport* m_target = nullptr;  // the commander adapter's target once a device was opened
    std::mutex m_commandLock;
    CTimerHost m_timers;

    std::optional<VEK::TDeviceSettings> m_transport;
    bool m_connectionAttempted = false;
    bool m_configured = false;
    // Device watches before a failed connect sequence is tried again (0: none), and the next
    // interval, which doubles with every failure.
    int m_watchesUntilRetry = 0;
    int m_retryInterval = 1;
    uint32_t m_recordLimit = VEK::TDeviceSettings::kDefaultRecordLimit;
    std::atomic<uint32_t> m_informationReports{0};
    std::atomic<bool> m_resendPosted{false};
    std::function<bool()> m_windowThreadBehind;
    std::atomic<int> m_awaiting{0};  // CAwaitingDongle objects alive
};
