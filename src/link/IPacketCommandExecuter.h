#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace VEK {

// Sends packets over a report and pairs commands with their responses.
class IPacketCommandExecuter {
public:
    // One frame's content in typed form; the commander knows frames only through this.
    class IPacket {
    public:
        virtual ~IPacket() = default;
        // The complete frame bytes of this packet.
        virtual std::vector<uint8_t> BuildFrame() const = 0;
        // Parses a frame at the start of bytes[0..size): > 0 frame length, 0 more bytes needed,
        // < 0 not a frame (or not this packet's). Never reads past size.
        virtual int ParseFrame(const uint8_t* bytes, size_t size) = 0;
        // Text lines describing the packet (UTF-8), for traces and the traffic viewer.
        virtual std::vector<std::string> DescribeLines() const = 0;
    };

    virtual ~IPacketCommandExecuter() = default;
    // 0 sent; -4 no report attached or not alive; -2 the report refused the bytes.
    virtual int Send(const IPacket& packet) = 0;
    // > 0 the response arrived (its frame length) and fills response; -1 time-out; -2 refused;
    // -3 receive thread ended while waiting; -4 not attached or not alive.
    virtual int Exchange(IPacket& response, const IPacket& command, int timeoutMs) = 0;
};

}  // namespace VEK
