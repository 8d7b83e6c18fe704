#pragma once
#include "protocol/AbstractParamPacketT.h"
#include "protocol/ModeConfirmData.h"

// 0x0F: sets the dongle's operating mode and the installation's system number.
class CModeConfirmCommand : public QNL::CAbstractParamPacketT<TModeConfirmData> {
public:
    CModeConfirmCommand() : CAbstractParamPacketT(0x0F, "モード設定コマンド") {}
};
