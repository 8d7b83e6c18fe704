#pragma once
#include "protocol/Packet/CommonResponse.h"

// 0x97, the answer to CPollingDataSendCommand.
class CPollingDataSendResponse : public QNL::Packet::CCommonResponse {
public:
    CPollingDataSendResponse() : CCommonResponse(0x97, "ポーリングデータ送信レスポンス") {}
};
