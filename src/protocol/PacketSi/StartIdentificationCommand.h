#pragma once
#include "protocol/AbstractParamPacketT.h"
#include "protocol/CommandCode.h"
#include "protocol/PacketSi/Setup1.h"

namespace QNL::PacketSi {

// Radio certification test, 0x73: starts sending the dongle's identification.
class CStartIdentificationCommand : public CAbstractParamPacketT<TSetup1> {
public:
    CStartIdentificationCommand()
        : CAbstractParamPacketT(Code::kStartIdentification, "固体識別送信開始要求コマンド") {}
};

}  // namespace QNL::PacketSi
