#pragma once
// A small frame packet for the link tests, fuzzing and benchmarks: 02 LEN CMD DATA SUM 03, where
// LEN counts CMD, DATA and SUM and SUM is the low byte of LEN + CMD + DATA.
#include <cstdint>
#include <string>
#include <vector>

#include "link/IPacketCommandExecuter.h"

namespace link_test {

class CTestFramePacket : public VEK::IPacketCommandExecuter::IPacket {
public:
    static constexpr int kAnyCommand = -1;
    static constexpr int kAnyLength = -1;

    // A parser accepts every frame; a response packet only its command (and data length).
    explicit CTestFramePacket(int command = kAnyCommand, int dataLength = kAnyLength)
        : m_command(command), m_dataLength(dataLength) {}

    static std::vector<uint8_t> Frame(uint8_t command, const std::vector<uint8_t>& data = {}) {
        std::vector<uint8_t> frame;
        frame.reserve(data.size() + 5);
        frame.push_back(0x02);
        frame.push_back(static_cast<uint8_t>(data.size() + 2));
        frame.push_back(command);
        for (uint8_t byte : data) frame.push_back(byte);
        uint8_t sum = 0;
        for (size_t i = 1; i < frame.size(); ++i) sum = static_cast<uint8_t>(sum + frame[i]);
        frame.push_back(sum);
        frame.push_back(0x03);
        return frame;
    }

    void SetContent(uint8_t command, std::vector<uint8_t> data) { m_frame = Frame(command, data); }

    std::vector<uint8_t> BuildFrame() const override { return m_frame; }

    int ParseFrame(const uint8_t* b, size_t size) override {
        if (size == 0)
            return 0;
        if (b[0] != 0x02)
            return -100;
        if (size < 5)
            return 0;
        size_t length = b[1] + 3u;
        if (size < length)
            return 0;
        if (b[1] < 2 || b[length - 1] != 0x03)
            return -101;  // LEN 0 or 1 leaves no room for CMD
        uint8_t sum = 0;
        for (size_t i = 1; i <= b[1]; ++i) sum = static_cast<uint8_t>(sum + b[i]);
        if (sum != b[b[1] + 1])
            return -103;
        if (m_command != kAnyCommand && b[2] != m_command)
            return -201;
        if (m_dataLength != kAnyLength && b[1] - 2 != m_dataLength)
            return -104;
        m_frame.assign(b, b + length);
        return static_cast<int>(length);
    }

    std::vector<std::string> DescribeLines() const override { return {}; }

    // The last frame parsed (or set), whole.
    const std::vector<uint8_t>& Bytes() const { return m_frame; }
    uint8_t Command() const { return m_frame.size() > 2 ? m_frame[2] : 0; }

private:
    int m_command;
    int m_dataLength;
    std::vector<uint8_t> m_frame;
};

}  // namespace link_test
