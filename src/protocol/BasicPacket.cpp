#include "protocol/BasicPacket.h"

#include "protocol/FrameResult.h"

namespace QNL {

std::vector<uint8_t> CBasicPacket::BuildFrame() const {
    std::vector<uint8_t> frame;
    frame.reserve(m_data.size() + 5);
    frame.push_back(kFrameStx);
    frame.push_back(static_cast<uint8_t>(m_data.size() + 2));
    frame.push_back(m_command);
    frame.insert(frame.end(), m_data.begin(), m_data.end());
    uint8_t sum = 0;
    for (size_t i = 1; i < frame.size(); ++i) sum = static_cast<uint8_t>(sum + frame[i]);
    frame.push_back(sum);
    frame.push_back(kFrameEtx);
    return frame;
}

int CBasicPacket::FindFrame(const uint8_t* bytes, size_t size, TFrame& frame) {
    if (size == 0)
        return kFrameIncomplete;
    if (bytes[0] != kFrameStx)
        return kFrameNoStart;
    if (size < 5)
        return kFrameIncomplete;
    const size_t len = bytes[1];
    // LEN 0 or 1 leaves no room for the command byte; with five bytes present it could still pass
    // the end-byte and checksum tests, so it is refused here and the receiver resynchronises.
    if (len < 2)
        return kFrameNoEnd;
    const size_t frameLength = len + 3;
    if (size < frameLength)
        return kFrameIncomplete;
    if (bytes[len + 2] != kFrameEtx)
        return kFrameNoEnd;
    uint8_t sum = 0;
    for (size_t i = 1; i <= len; ++i) sum = static_cast<uint8_t>(sum + bytes[i]);
    if (sum != bytes[len + 1])
        return kFrameChecksum;
    frame.command = bytes[2];
    frame.data = bytes + 3;
    frame.dataSize = len - 2;
    return static_cast<int>(frameLength);
}

int CBasicPacket::ParseFrame(const uint8_t* bytes, size_t size) {
    TFrame frame;
    const int found = FindFrame(bytes, size, frame);
    if (found <= 0)
        return found;
    m_command = frame.command;
    const int stored = SetPayload(frame.dataSize, frame.data);
    return stored < 0 ? stored : found;
}

int CBasicPacket::SetPayload(size_t size, const uint8_t* bytes) {
    // More would overflow the length byte and build a corrupt frame.
    if (size > kMaxFrameData)
        return kFrameDataLength;
    SetData(bytes, size);
    return 0;
}

bool CBasicPacket::SetParamTexts(const std::vector<std::string>&) {
    return true;
}

}  // namespace QNL
