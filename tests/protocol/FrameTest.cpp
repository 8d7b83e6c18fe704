#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "protocol/BasicPacket.h"
#include "protocol/FrameResult.h"
#include "protocol/ModeConfirmCommand.h"
#include "protocol/PacketTa/FwVersionCommand.h"

using QNL::CBasicPacket;
using Bytes = std::vector<uint8_t>;

namespace {

// Parses from a buffer of exactly the given bytes, so that any read past the end shows under ASan.
int Parse(QNL::CBasicPacket& packet, const Bytes& bytes) {
    auto exact = std::make_unique<uint8_t[]>(bytes.size());
    std::copy(bytes.begin(), bytes.end(), exact.get());
    return packet.ParseFrame(exact.get(), bytes.size());
}

}  // namespace

TEST(PacketFrame, ChecksInTheirOrder) {
    struct {
        const char* what;
        Bytes bytes;
        int result;
    } cases[] = {
        {"nothing", {}, 0},
        {"lone STX", {0x02}, 0},
        {"lone other byte", {0x05}, QNL::kFrameNoStart},
        {"wrong start before length", {0x05, 0x02, 0x2A, 0x2C, 0x03}, QNL::kFrameNoStart},
        {"four bytes", {0x02, 0x02, 0x2A, 0x2C}, 0},
        {"LEN promises more", {0x02, 0x05, 0x0F, 0x02, 0x05, 0x1A}, 0},
        {"good", {0x02, 0x02, 0x2A, 0x2C, 0x03}, 5},
        {"bad checksum", {0x02, 0x02, 0x2A, 0x2D, 0x03}, QNL::kFrameChecksum},
        {"bad end", {0x02, 0x02, 0x2A, 0x2C, 0x04}, QNL::kFrameNoEnd},
        {"bad end before bad checksum", {0x02, 0x02, 0x2A, 0x2D, 0x04}, QNL::kFrameNoEnd},
        {"LEN 0 with ETX in place", {0x02, 0x00, 0x03, 0x00, 0x00}, QNL::kFrameNoEnd},
        {"LEN 1 with checksum and ETX", {0x02, 0x01, 0x01, 0x03, 0x00}, QNL::kFrameNoEnd},
        {"trailing bytes stay", {0x02, 0x02, 0x2A, 0x2C, 0x03, 0x02, 0x04}, 5},
        {"STX and ETX inside", {0x02, 0x04, 0x03, 0x02, 0x03, 0x0C, 0x03}, 7},
    };
    for (const auto& c : cases) {
        CBasicPacket packet;
        EXPECT_EQ(Parse(packet, c.bytes), c.result) << c.what;
    }
}

TEST(PacketFrame, ParsedFrameGivesCommandAndData) {
    CBasicPacket packet;
    ASSERT_EQ(Parse(packet, {0x02, 0x04, 0x03, 0x02, 0x03, 0x0C, 0x03}), 7);
    EXPECT_EQ(packet.Command(), 0x03);
    EXPECT_EQ(packet.Data(), (Bytes{0x02, 0x03}));
}

TEST(PacketFrame, NeverLooksPastTheGivenSize) {
    // The whole frame is in memory, but only its first bytes are offered.
    const uint8_t frame[] = {0x02, 0x04, 0x0F, 0x02, 0x05, 0x1A, 0x03};
    for (size_t size = 0; size < sizeof frame; ++size) {
        CBasicPacket packet;
        EXPECT_EQ(packet.ParseFrame(frame, size), 0) << size;
    }
    // LEN 0xFF promises 258 bytes; a short buffer must wait, not read on.
    CBasicPacket packet;
    EXPECT_EQ(Parse(packet, {0x02, 0xFF, 0x11, 0x00, 0x00, 0x00}), 0);
}

TEST(PacketFrame, RoundTripsEveryDataLength) {
    for (size_t n = 0; n <= QNL::kMaxFrameData; ++n) {
        Bytes data(n);
        for (size_t i = 0; i < n; ++i) data[i] = static_cast<uint8_t>(i * 7 + 3);
        CBasicPacket built;
        ASSERT_EQ(built.SetPayload(data.size(), data.data()), 0);
        const Bytes frame = built.BuildFrame();
        ASSERT_EQ(frame.size(), n + 5);
        EXPECT_EQ(frame[1], n + 2);
        CBasicPacket parsed;
        ASSERT_EQ(Parse(parsed, frame), static_cast<int>(n + 5)) << n;
        EXPECT_EQ(parsed.Data(), data);
        EXPECT_EQ(parsed.BuildFrame(), frame);
    }
}

TEST(PacketFrame, PlainPacketRefusesDataTheLengthByteCannotCarry) {
    const Bytes data(QNL::kMaxFrameData + 1, 0x55);
    CBasicPacket packet;
    EXPECT_EQ(packet.SetPayload(data.size(), data.data()), QNL::kFrameDataLength);
    EXPECT_TRUE(packet.Data().empty());
}

TEST(PacketFrame, ThirtyOneDataBytesMakeA36ByteFrame) {
    const Bytes data(31, 0x03);
    CBasicPacket packet;
    packet.SetPayload(data.size(), data.data());
    const Bytes frame = packet.BuildFrame();
    EXPECT_EQ(frame.size(), 36u);
    EXPECT_EQ(frame[1], 33);
}

TEST(PacketFrame, TypedPacketAcceptsOnlyItsOwnFrames) {
    const Bytes fwQuery = {0x02, 0x02, 0x2A, 0x2C, 0x03};
    CModeConfirmCommand mode;
    EXPECT_EQ(Parse(mode, fwQuery), QNL::kFrameOtherCommand);
    EXPECT_EQ(Parse(mode, {0x05}), QNL::kFrameNoStart);
    EXPECT_EQ(Parse(mode, {0x02, 0x02, 0x2A, 0x2D, 0x03}), QNL::kFrameChecksum);
    EXPECT_EQ(Parse(mode, {0x02, 0x04}), 0);

    QNL::PacketTa::CFwVersionCommand fw;
    EXPECT_EQ(Parse(fw, fwQuery), 5);
    EXPECT_EQ(Parse(fw, {0x02, 0x03, 0x2A, 0x00, 0x2D, 0x03}), QNL::kFrameDataLength);
    EXPECT_EQ(Parse(mode, {0x02, 0x05, 0x0F, 0x02, 0x05, 0x00, 0x1B, 0x03}), QNL::kFrameDataLength);
}
