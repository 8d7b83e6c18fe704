#pragma once
#include "protocol/AbstractParamPacketT.h"
#include "protocol/CommandCode.h"
#include "protocol/PacketTa/ShortDataSendData.h"

namespace QNL::PacketTa {

// 0x11: sends up to 29 bytes over a radio pipe. The frame carries only the valid data bytes.
class CShortDataSendCommand : public CAbstractParamPacketT<TShortDataSendData> {
public:
    CShortDataSendCommand() : CShortDataSendCommand(Code::kShortDataSend, "短データ送信コマンド") {}

    // 2 to 31 bytes, agreeing with their data length byte; copied to the front of a zeroed record.
    int SetPayload(size_t size, const uint8_t* bytes) override;
    // A data length above 29 is cut to 29, so the length byte never promises more than travels.
    void SetRecord(const TShortDataSendData& record) override;

protected:
    CShortDataSendCommand(uint8_t command, std::string name)
        : CAbstractParamPacketT(command, std::move(name)) {
        SetRecord(m_param);
    }
};

}  // namespace QNL::PacketTa
