#pragma once
#include "protocol/AbstractPacket.h"

namespace QNL::PacketSi {

// Radio certification test, 0x75: stops the running radio test (no data).
class CStopOperationCommand : public CAbstractPacket {
public:
    CStopOperationCommand() : CAbstractPacket(0x75, "技適試験動作停止要求コマンド") {}
};

}  // namespace QNL::PacketSi
