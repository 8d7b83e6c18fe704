#pragma once
#include "protocol/AbstractPacket.h"
#include "protocol/CommandCode.h"

namespace QNL::PacketSi {

// Radio certification test, 0x75: stops the running radio test (no data).
class CStopOperationCommand : public CAbstractPacket {
public:
    CStopOperationCommand() : CAbstractPacket(Code::kStopOperation, "技適試験動作停止要求コマンド") {}
};

}  // namespace QNL::PacketSi
