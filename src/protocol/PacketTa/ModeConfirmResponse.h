#pragma once
#include "protocol/CommandCode.h"
#include "protocol/Packet/CommonResponse.h"

namespace QNL::PacketTa {

// 0x8F: the dongle's answer to the mode setting.
class CModeConfirmResponse : public Packet::CCommonResponse {
public:
    CModeConfirmResponse() : CCommonResponse(Code::kModeSettingResponse, "モード設定レスポンス") {}
};

}  // namespace QNL::PacketTa
