#pragma once
#include <atomic>
#include <cstdint>
#include <span>

#include "link/CommunicationReporter.h"
#include "link/PacketCommander.h"
#include "link/ReportWatchAdapter.h"
#include "protocol/BasicPacket.h"
#include "protocol/RfSerialLine.h"

namespace QNL {

// The packet commander made ready for the dongle: it parses with its own CBasicPacket and reaches
// the dongle through a report watch adapter whose target is the USB HID report, the development
// TCP server, or (by default, and again whenever it is detached while not alive) the serial report.
class CRfPacketCommander : public VEK::CPacketCommander {
public:
    // Implemented by the application; every call arrives on the receive thread and must never call
    // the blocking dongle operations (their answers arrive on that very thread). The dongle's events
    // arrive as typed calls; an event whose data its packet class refuses goes nowhere.
    class IListener {
    public:
        virtual ~IListener() = default;
        // The polling-state event: the dongle started (true) or stopped polling.
        virtual void HandlePollingState(bool /*polling*/) {}
        // The data of a data-received event, by the kind of unit report they carry (their first
        // byte). Reports of other kinds go nowhere.
        virtual void HandleMeasurementReport(std::span<const uint8_t> /*report*/) {}
        virtual void HandleInformationReport(std::span<const uint8_t> /*report*/) {}
        // Any other frame no waiting command claimed; lastKeyResult as the packet commander gives it.
        virtual void HandleUnclaimedFrame(CBasicPacket& /*frame*/, int /*lastKeyResult*/) {}
        // A state event of the report (VEK::CReportEvent kinds); false ends the receive thread.
        virtual bool HandleLinkState(int /*kind*/) { return true; }
        virtual void HandleDroppedByte(uint8_t /*byte*/, int /*code*/) {}
    };

    // Hands a frame no command claimed to the listener: the typed call of its event, or
    // HandleUnclaimedFrame.
    static void Dispatch(CBasicPacket& frame, int lastKeyResult, IListener& listener);

    CRfPacketCommander();
    // Detaches while the adapter and the serial report still exist.
    ~CRfPacketCommander() override;

    // Null allowed.
    void SetListener(IListener* listener);

    // The report the commander is attached to: Attach(&Adapter()).
    VEK::CReportWatchAdapter& Adapter() { return m_adapter; }
    // Chooses the adapter's target; false (nothing changes) while the adapter is alive.
    bool SetTarget(VEK::IReport* target) { return m_adapter.SetTarget(target); }
    VEK::CCommunicationReporterT<CRfSerialLine>& SerialReport() { return m_serialReport; }

    // 0 turns the serial handshake off (the application's choice).
    void SetCtsWait(uint32_t ms) { m_ctsWaitMs = ms; }

    // Preceded by the serial handshake when it is on: -10 when CTS did not come.
    int Exchange(IPacket& response, const IPacket& command, int timeoutMs) override;
    // Afterwards a target that is not alive is replaced by the serial report.
    void Detach() override;
    // The serial handshake when it is on, then Send.
    virtual int SendWithHandshake(const IPacket& packet);

private:
    class CInner : public VEK::CPacketCommander::IListener {
    public:
        explicit CInner(CRfPacketCommander& commander) : m_commander(commander) {}
        void HandleUnclaimedFrame(IPacket& parser, int lastKeyResult) override;
        void HandleDroppedByte(uint8_t byte, int code) override;
        bool HandleLinkState(int kind) override;

    private:
        CRfPacketCommander& m_commander;
    };

    bool HandshakeOn() const;

    CInner m_inner{*this};
    CBasicPacket m_parser;
    std::atomic<IListener*> m_listener{nullptr};
    VEK::CCommunicationReporterT<CRfSerialLine> m_serialReport;
    VEK::CReportWatchAdapter m_adapter;
    std::atomic<uint32_t> m_ctsWaitMs{0};
};

}  // namespace QNL
