#include "protocol/RfPacketCommander.h"

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

void CRfPacketCommander::CInner::HandleUnclaimedFrame(IPacket& /*parser*/, int lastKeyResult) {
    if (CRfPacketCommander::IListener* listener = m_commander.m_listener)
        listener->HandleUnclaimedFrame(m_commander.m_parser, lastKeyResult);
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
