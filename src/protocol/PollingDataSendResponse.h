#pragma once
#include "protocol/CommandCode.h"
#include "protocol/Packet/CommonResponse.h"

// 0x97, the answer to CPollingDataSendCommand.
class CPollingDataSendResponse : public QNL::Packet::CCommonResponse {
public:
    CPollingDataSendResponse()
        : CCommonResponse(QNL::Code::kPollingSettingResponse, "ポーリングデータ送信レスポンス") {}
};
