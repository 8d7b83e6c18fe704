#include "protocol/PacketTa/DataReceivedEvent.h"

#include <algorithm>

namespace QNL::PacketTa {

namespace {
constexpr size_t kHeadBytes = 2;  // pipe number and continue flag
}

int CDataReceivedEvent::SetPayload(size_t size, const uint8_t* bytes) {
    if (size < kHeadBytes || size > kHeadBytes + TDataReceivedEventData::kMaxData)
        return kFrameDataLength;
    m_param = ZeroRecord();
    std::memcpy(&m_param, bytes, size);
    m_param.dataLength = static_cast<uint8_t>(size - kHeadBytes);
    SetData(bytes, size);
    return 0;
}

void CDataReceivedEvent::SetRecord(const TDataReceivedEventData& record) {
    m_param = record;
    m_param.dataLength = std::min(m_param.dataLength, TDataReceivedEventData::kMaxData);
    SetImage(kHeadBytes + m_param.dataLength);
}

}  // namespace QNL::PacketTa
