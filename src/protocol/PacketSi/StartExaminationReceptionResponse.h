#pragma once
#include "protocol/CommandCode.h"
#include "protocol/Packet/CommonResponse.h"

namespace QNL::PacketSi {

// Radio certification test, 0xF4, the answer to CStartExaminationReceptionCommand.
class CStartExaminationReceptionResponse : public Packet::CCommonResponse {
public:
    CStartExaminationReceptionResponse()
        : CCommonResponse(Code::kStartExaminationReceptionResponse, "試験受信開始要求レスポンス") {}
};

}  // namespace QNL::PacketSi
