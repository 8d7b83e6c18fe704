#pragma once
#include "protocol/AbstractParamPacketT.h"
#include "protocol/PollingDataSentData.h"

// 0x43: the dongle reports that polling started or stopped.
class CPollingDataSentEvent : public QNL::CAbstractParamPacketT<TPollingDataSentData> {
public:
    CPollingDataSentEvent() : CAbstractParamPacketT(0x43, "ポーリングデータ送信イベント") {}
};
