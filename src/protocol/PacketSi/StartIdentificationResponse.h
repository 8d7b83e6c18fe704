#pragma once
#include "protocol/CommandCode.h"
#include "protocol/Packet/CommonResponse.h"

namespace QNL::PacketSi {

// Radio certification test, 0xF3, the answer to CStartIdentificationCommand.
class CStartIdentificationResponse : public Packet::CCommonResponse {
public:
    CStartIdentificationResponse()
        : CCommonResponse(Code::kStartIdentificationResponse, "固体識別送信開始要求レスポンス") {}
};

}  // namespace QNL::PacketSi
