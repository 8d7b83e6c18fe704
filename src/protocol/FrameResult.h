#pragma once
#include <cstddef>

namespace QNL {

// Results of ParseFrame and SetPayload other than a positive frame length.
inline constexpr int kFrameIncomplete = 0;       // the bytes so far begin a frame: wait for more
inline constexpr int kFrameNoStart = -100;       // the first byte is not STX
inline constexpr int kFrameNoEnd = -101;         // no ETX where the length puts it, or no room for a command
inline constexpr int kFrameChecksum = -103;      // checksum mismatch
inline constexpr int kFrameDataLength = -104;    // data length does not fit the packet type
inline constexpr int kFrameOtherCommand = -201;  // a valid frame of another command code

inline constexpr unsigned char kFrameStx = 0x02;
inline constexpr unsigned char kFrameEtx = 0x03;
// The length byte counts command, data and checksum, so at most 253 data bytes fit.
inline constexpr size_t kMaxFrameData = 253;

}  // namespace QNL
