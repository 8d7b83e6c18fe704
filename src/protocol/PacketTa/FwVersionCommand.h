#pragma once
#include "protocol/AbstractPacket.h"
#include "protocol/CommandCode.h"

namespace QNL::PacketTa {

// 0x2A: asks the dongle for its model and firmware version (no data).
class CFwVersionCommand : public CAbstractPacket {
public:
    CFwVersionCommand() : CAbstractPacket(Code::kFwVersion, "F/Wバージョン確認コマンド") {}
};

}  // namespace QNL::PacketTa
