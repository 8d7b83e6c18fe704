#pragma once
#include "protocol/AbstractParamPacketT.h"
#include "protocol/CommandCode.h"
#include "protocol/PacketSi/Setup2.h"

namespace QNL::PacketSi {

// Radio certification test, 0x74: starts a test reception on the given channel and rate.
class CStartExaminationReceptionCommand : public CAbstractParamPacketT<TSetup2> {
public:
    CStartExaminationReceptionCommand()
        : CAbstractParamPacketT(Code::kStartExaminationReception, "試験受信開始要求コマンド") {}
};

}  // namespace QNL::PacketSi
