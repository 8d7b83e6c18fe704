#pragma once
#include "protocol/AbstractParamPacketT.h"
#include "protocol/CommandCode.h"
#include "protocol/PacketSi/Setup1.h"

namespace QNL::PacketSi {

// Radio certification test, 0x71: starts a modulated carrier on the given channel, power and rate.
class CStartModulationOutputCommand : public CAbstractParamPacketT<TSetup1> {
public:
    CStartModulationOutputCommand()
        : CAbstractParamPacketT(Code::kStartModulationOutput, "変調出力開始要求コマンド") {}
};

}  // namespace QNL::PacketSi
