#pragma once
#include "protocol/CommandCode.h"
#include "protocol/Packet/CommonResponse.h"

namespace QNL::PacketSi {

// Radio certification test, 0xF2, the answer to CStartNoModulationOutputCommand.
class CStartNoModulationOutputResponse : public Packet::CCommonResponse {
public:
    CStartNoModulationOutputResponse()
        : CCommonResponse(Code::kStartNoModulationOutputResponse, "無変調出力開始要求レスポンス") {}
};

}  // namespace QNL::PacketSi
