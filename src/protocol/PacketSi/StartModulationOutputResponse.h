#pragma once
#include "protocol/CommandCode.h"
#include "protocol/Packet/CommonResponse.h"

namespace QNL::PacketSi {

// Radio certification test, 0xF1, the answer to CStartModulationOutputCommand.
class CStartModulationOutputResponse : public Packet::CCommonResponse {
public:
    CStartModulationOutputResponse()
        : CCommonResponse(Code::kStartModulationOutputResponse, "変調出力開始要求レスポンス") {}
};

}  // namespace QNL::PacketSi
