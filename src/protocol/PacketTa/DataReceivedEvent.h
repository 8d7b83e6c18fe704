#pragma once
#include "protocol/AbstractParamPacketT.h"
#include "protocol/CommandCode.h"
#include "protocol/PacketTa/DataReceivedEventData.h"

namespace QNL::PacketTa {

// 0x42: a unit's report as the dongle received it.
class CDataReceivedEvent : public CAbstractParamPacketT<TDataReceivedEventData> {
public:
    CDataReceivedEvent() : CAbstractParamPacketT(Code::kDataReceivedEvent, "データ受信通知イベント") {
        SetRecord(m_param);
    }

    // 2 to 31 bytes, copied to the front of a zeroed record; the data length becomes size - 2.
    int SetPayload(size_t size, const uint8_t* bytes) override;
    // The frame carries pipe, flag and the valid data; a data length above 29 is cut to 29.
    void SetRecord(const TDataReceivedEventData& record) override;
};

}  // namespace QNL::PacketTa
