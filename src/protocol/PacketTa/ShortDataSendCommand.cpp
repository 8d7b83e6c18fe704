#include "protocol/PacketTa/ShortDataSendCommand.h"

#include <algorithm>

namespace QNL::PacketTa {

int CShortDataSendCommand::SetPayload(size_t size, const uint8_t* bytes) {
    if (size < 2 || size > sizeof(TShortDataSendData) || size != size_t{bytes[1]} + 2)
        return kFrameDataLength;
    m_param = ZeroRecord();
    std::memcpy(&m_param, bytes, size);
    SetData(bytes, size);
    return 0;
}

void CShortDataSendCommand::SetRecord(const TShortDataSendData& record) {
    m_param = record;
    m_param.dataLength = std::min(m_param.dataLength, TShortDataSendData::kMaxData);
    SetImage(2 + size_t{m_param.dataLength});
}

}  // namespace QNL::PacketTa
