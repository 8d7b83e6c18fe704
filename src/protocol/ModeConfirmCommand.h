#pragma once
#include "protocol/AbstractParamPacketT.h"
#include "protocol/CommandCode.h"
#include "protocol/ModeConfirmData.h"

// 0x0F: sets the dongle's operating mode and the installation's system number.
class CModeConfirmCommand : public QNL::CAbstractParamPacketT<TModeConfirmData> {
public:
    CModeConfirmCommand() : CAbstractParamPacketT(QNL::Code::kModeSetting, "モード設定コマンド") {}
};
