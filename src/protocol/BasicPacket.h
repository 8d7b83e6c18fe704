#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "link/IPacketCommandExecuter.h"
#include "protocol/FrameResult.h"

namespace QNL {

// Any frame: STX, LEN (= data length + 2), CMD, data, SUM (8-bit sum of LEN, CMD and data), ETX.
// There is no byte stuffing; only LEN decides where a frame ends.
class CBasicPacket : public VEK::IPacketCommandExecuter::IPacket {
public:
    CBasicPacket() = default;

    std::vector<uint8_t> BuildFrame() const override;
    // Checks, in this order: start byte, enough bytes, end byte, checksum; then stores the command
    // and hands the data to SetPayload. Bytes after the frame are left alone.
    int ParseFrame(const uint8_t* bytes, size_t size) override;
    std::vector<std::string> DescribeLines() const override { return {}; }

    // Takes a frame's data; 0 or a negative frame result. A plain packet takes up to 253 bytes.
    virtual int SetPayload(size_t size, const uint8_t* bytes);
    // The packet's fields as editable value strings, and back; a plain packet has none.
    virtual std::vector<std::string> ParamTexts() const { return {}; }
    virtual bool SetParamTexts(const std::vector<std::string>& texts);

    uint8_t Command() const { return m_command; }
    const std::vector<uint8_t>& Data() const { return m_data; }

protected:
    explicit CBasicPacket(uint8_t command) : m_command(command) {}

    // The frame at the head of bytes; data points into bytes.
    struct TFrame {
        uint8_t command = 0;
        const uint8_t* data = nullptr;
        size_t dataSize = 0;
    };
    // > 0 frame length with frame filled in, else a frame result (never reads past size).
    static int FindFrame(const uint8_t* bytes, size_t size, TFrame& frame);

    void SetData(const uint8_t* bytes, size_t size) { m_data.assign(bytes, bytes + size); }
    void ClearData() { m_data.clear(); }

private:
    uint8_t m_command = 0;
    std::vector<uint8_t> m_data;
};

}  // namespace QNL
