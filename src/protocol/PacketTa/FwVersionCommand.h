#pragma once
#include "protocol/AbstractPacket.h"

namespace QNL::PacketTa {

// 0x2A: asks the dongle for its model and firmware version (no data).
class CFwVersionCommand : public CAbstractPacket {
public:
    CFwVersionCommand() : CAbstractPacket(0x2A, "F/Wバージョン確認コマンド") {}
};

}  // namespace QNL::PacketTa
