#pragma once
#include "protocol/AbstractParamPacketT.h"
#include "protocol/CommandCode.h"
#include "protocol/PacketSi/Setup1.h"

namespace QNL::PacketSi {

// Radio certification test, 0x72: starts an unmodulated carrier.
class CStartNoModulationOutputCommand : public CAbstractParamPacketT<TSetup1> {
public:
    CStartNoModulationOutputCommand()
        : CAbstractParamPacketT(Code::kStartNoModulationOutput, "無変調出力開始要求コマンド") {}
};

}  // namespace QNL::PacketSi
