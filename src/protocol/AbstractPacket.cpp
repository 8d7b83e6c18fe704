#include "protocol/AbstractPacket.h"

#include "protocol/FrameResult.h"

namespace QNL {

int CAbstractPacket::ParseFrame(const uint8_t* bytes, size_t size) {
    TFrame frame;
    const int found = FindFrame(bytes, size, frame);
    if (found <= 0)
        return found;
    if (frame.command != Command())
        return kFrameOtherCommand;
    const int stored = SetPayload(frame.dataSize, frame.data);
    return stored < 0 ? stored : found;
}

int CAbstractPacket::SetPayload(size_t size, const uint8_t*) {
    ClearData();
    return size == 0 ? 0 : kFrameDataLength;
}

}  // namespace QNL
