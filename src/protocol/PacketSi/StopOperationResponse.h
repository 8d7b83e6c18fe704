#pragma once
#include "protocol/CommandCode.h"
#include "protocol/Packet/CommonResponse.h"

namespace QNL::PacketSi {

// Radio certification test, 0xF5, the answer to CStopOperationCommand.
class CStopOperationResponse : public Packet::CCommonResponse {
public:
    CStopOperationResponse()
        : CCommonResponse(Code::kStopOperationResponse, "技適試験動作停止要求レスポンス") {}
};

}  // namespace QNL::PacketSi
