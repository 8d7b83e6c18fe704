#include "protocol/RfPacketCommander.h"

#include "protocol/CommandCode.h"
#include "protocol/PacketTa/DataReceivedEvent.h"
#include "protocol/PollingDataSentEvent.h"
#include "protocol/SerialHandshake.h"

namespace QNL {

CRfPacketCommander::CRfPacketCommander() {
    CPacketCommander::SetParser(&m_parser);
    CPacketCommander::SetListener(&m_inner);
    m_adapter.SetTarget(&m_serialReport);
}

CRfPacketCommander::~CRfPacketCommander() {
    // Here, not in the base: the report is the adapter member, gone by the time the base runs.
    // Leaves the target reset to the serial report, so the application's report no longer points
    // at the adapter.
    Detach();
}

void CRfPacketCommander::SetListener(IListener* listener) {
    m_listener = listener;
    CPacketCommander::SetListener(&m_inner);
}

bool CRfPacketCommander::HandshakeOn() const {
    return m_ctsWaitMs > 0 && m_serialReport.IsRunning();
}

int CRfPacketCommander::Exchange(IPacket& response, const IPacket& command, int timeoutMs) {
    if (!HandshakeOn())
        return CPacketCommander::Exchange(response, command, timeoutMs);
    return CSerialHandshake::Run(m_serialReport.Transport(), m_ctsWaitMs,
                                 [&] { return CPacketCommander::Exchange(response, command, timeoutMs); });
}

int CRfPacketCommander::SendWithHandshake(const IPacket& packet) {
    if (!HandshakeOn())
        return Send(packet);
    return CSerialHandshake::Run(m_serialReport.Transport(), m_ctsWaitMs, [&] { return Send(packet); });
}

void CRfPacketCommander::Detach() {
    CPacketCommander::Detach();
    if (!m_adapter.IsRunning())
        m_adapter.SetTarget(&m_serialReport);
}

void CRfPacketCommander::Dispatch(CBasicPacket& frame, int lastKeyResult, IListener& listener) {
    const std::vector<uint8_t>& data = frame.Data();
    if (frame.Command() == Code::kPollingStateEvent) {
        CPollingDataSentEvent event;
        if (event.SetPayload(data.size(), data.data()) == 0)
            listener.HandlePollingState(event.Param().state != 0);
    } else if (frame.Command() == Code::kDataReceivedEvent) {
        PacketTa::CDataReceivedEvent event;
        if (event.SetPayload(data.size(), data.data()) != 0 || event.Param().dataLength == 0)
            return;
        const std::span<const uint8_t> report(event.Param().data, event.Param().dataLength);
        if (report[0] == Code::kMeasurementReport)
            listener.HandleMeasurementReport(report);
        else if (report[0] == Code::kInformationReport)
            listener.HandleInformationReport(report);
    } else {
        listener.HandleUnclaimedFrame(frame, lastKeyResult);
    }
}

void CRfPacketCommander::CInner::HandleUnclaimedFrame(IPacket& /*parser*/, int lastKeyResult) {
    if (CRfPacketCommander::IListener* listener = m_commander.m_listener)
        Dispatch(m_commander.m_parser, lastKeyResult, *listener);
}

void CRfPacketCommander::CInner::HandleDroppedByte(uint8_t byte, int code) {
    if (CRfPacketCommander::IListener* listener = m_commander.m_listener)
        listener->HandleDroppedByte(byte, code);
}

bool CRfPacketCommander::CInner::HandleLinkState(int kind) {
    CRfPacketCommander::IListener* listener = m_commander.m_listener;
    return listener == nullptr || listener->HandleLinkState(kind);
}

}  // namespace QNL
