#pragma once
#include "protocol/AbstractParamPacketT.h"
#include "protocol/CommandCode.h"
#include "protocol/PollingDataSentData.h"

// 0x43: the dongle reports that polling started or stopped.
class CPollingDataSentEvent : public QNL::CAbstractParamPacketT<TPollingDataSentData> {
public:
    CPollingDataSentEvent()
        : CAbstractParamPacketT(QNL::Code::kPollingStateEvent, "ポーリングデータ送信イベント") {}
};
