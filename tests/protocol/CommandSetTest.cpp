#include <gtest/gtest.h>

#include "protocol/CommandCode.h"
#include "protocol/FrameResult.h"
#include "protocol/PacketCatalog.h"

using namespace protocol_test;
using Bytes = std::vector<uint8_t>;

namespace {

// Recorded frames of every command, response and event (checksums worked out by hand).
struct TFrameVector {
    const char* what;
    Bytes frame;
};
const TFrameVector kFrameVectors[] = {
    {"firmware query", {0x02, 0x02, 0x2A, 0x2C, 0x03}},
    {"firmware answer", {0x02, 0x17, 0xAA, 0x00, 0x51, 0x55, 0x49, 0x4C, 0x4C, 0x4D, 0x41, 0x52, 0x4B,
                         0x2D, 0x4B, 0x56, 0x4E, 0x00, 0x00, 0x00, 0x31, 0x2E, 0x30, 0x30, 0x4E, 0x03}},
    {"firmware error answer", {0x02, 0x03, 0xAA, 0x05, 0xB2, 0x03}},
    {"receive mode, system 5", {0x02, 0x04, 0x0F, 0x02, 0x05, 0x1A, 0x03}},
    {"mode answer", {0x02, 0x03, 0x8F, 0x00, 0x92, 0x03}},
    {"short data", {0x02, 0x07, 0x11, 0x00, 0x03, 0x0A, 0x0B, 0x0C, 0x3C, 0x03}},
    {"polling setting",
     {0x02, 0x1E, 0x17, 0x00, 0x1A, 0x05, 0xAA, 0xAA, 0xAA, 0xAA, 0xAA, 0xAA, 0xAA, 0xAA, 0xAA, 0xAA, 0xAA,
      0xAA, 0xAA, 0xAA, 0xAA, 0xAA, 0xAA, 0xAA, 0xAA, 0xAA, 0xAA, 0xAA, 0xAA, 0xAA, 0xAA, 0xEE, 0x03}},
    {"polling answer", {0x02, 0x03, 0x97, 0x01, 0x9B, 0x03}},
    {"data received", {0x02, 0x06, 0x42, 0x00, 0x01, 0x03, 0x07, 0x53, 0x03}},
    {"polling stopped", {0x02, 0x03, 0x43, 0x00, 0x46, 0x03}},
    {"modulated carrier", {0x02, 0x05, 0x71, 0x50, 0x03, 0x02, 0xCB, 0x03}},
    {"modulated answer", {0x02, 0x03, 0xF1, 0x00, 0xF4, 0x03}},
    {"unmodulated carrier", {0x02, 0x05, 0x72, 0x10, 0x00, 0x01, 0x88, 0x03}},
    {"unmodulated answer", {0x02, 0x03, 0xF2, 0x01, 0xF6, 0x03}},
    {"identification", {0x02, 0x05, 0x73, 0x20, 0x01, 0x00, 0x99, 0x03}},
    {"identification answer", {0x02, 0x03, 0xF3, 0x00, 0xF6, 0x03}},
    {"test reception", {0x02, 0x04, 0x74, 0x02, 0x07, 0x81, 0x03}},
    {"test reception answer", {0x02, 0x03, 0xF4, 0x00, 0xF7, 0x03}},
    {"stop test", {0x02, 0x02, 0x75, 0x77, 0x03}},
    {"stop test answer", {0x02, 0x03, 0xF5, 0x00, 0xF8, 0x03}},
};

}  // namespace

TEST(DongleCommandSet, RecordedFramesParseIntoTheirClassAndBuildBack) {
    for (const auto& v : kFrameVectors) {
        const uint8_t command = v.frame[2];
        auto parsed = MakePacket(command);
        ASSERT_TRUE(parsed) << v.what;
        ASSERT_EQ(parsed->ParseFrame(v.frame.data(), v.frame.size()), static_cast<int>(v.frame.size()))
            << v.what;
        EXPECT_EQ(parsed->BuildFrame(), v.frame) << v.what;

        // Built from scratch: the frame's data handed to a fresh packet.
        auto built = MakePacket(command);
        const Bytes data(v.frame.begin() + 3, v.frame.end() - 2);
        ASSERT_EQ(built->SetPayload(data.size(), data.data()), 0) << v.what;
        EXPECT_EQ(built->BuildFrame(), v.frame) << v.what;
    }
}

TEST(DongleCommandSet, EveryClassRefusesEveryOtherClassesFrame) {
    for (const auto& v : kFrameVectors) {
        for (const auto& [code, make] : AllPacketMakers()) {
            if (code == v.frame[2])
                continue;
            EXPECT_EQ(make()->ParseFrame(v.frame.data(), v.frame.size()), QNL::kFrameOtherCommand)
                << v.what << " offered to 0x" << std::hex << int(code);
        }
    }
}

TEST(DongleCommandSet, SizeRules) {
    struct {
        uint8_t command;
        std::vector<size_t> accepted;  // data lengths taken with the first bytes given below
        Bytes head;                    // first data bytes; the rest are zero
    } rules[] = {
        {QNL::Code::kFwVersion, {0}, {}},
        {QNL::Code::kStopOperation, {0}, {}},
        {QNL::Code::kModeSettingResponse, {1}, {}},
        {QNL::Code::kPollingSettingResponse, {1}, {}},
        {QNL::Code::kStartModulationOutputResponse, {1}, {}},
        {QNL::Code::kStopOperationResponse, {1}, {}},
        {QNL::Code::kPollingStateEvent, {1}, {}},
        {QNL::Code::kModeSetting, {2}, {}},
        {QNL::Code::kStartExaminationReception, {2}, {}},
        {QNL::Code::kStartModulationOutput, {3}, {}},
        {QNL::Code::kStartNoModulationOutput, {3}, {}},
        {QNL::Code::kStartIdentification, {3}, {}},
        {QNL::Code::kFwVersionResponse, {21}, {0x00}},
        {QNL::Code::kFwVersionResponse, {1}, {0x05}},
        {QNL::Code::kDataReceivedEvent,
         {2,  3,  4,  5,  6,  7,  8,  9,  10, 11, 12, 13, 14, 15, 16,
          17, 18, 19, 20, 21, 22, 23, 24, 25, 26, 27, 28, 29, 30, 31},
         {}},
        {QNL::Code::kShortDataSend, {5}, {0x00, 0x03}},
        {QNL::Code::kPollingSetting, {28}, {0x00, 0x1A}},
        {QNL::Code::kPollingSetting, {31}, {0x00, 0x1D}},
        {QNL::Code::kPollingSetting, {}, {0x00, 0x1E}},
    };
    for (const auto& rule : rules) {
        for (size_t size = 0; size <= QNL::kMaxFrameData; ++size) {
            Bytes data(size);
            std::copy_n(rule.head.begin(), std::min(size, rule.head.size()), data.begin());
            const bool accepted = std::count(rule.accepted.begin(), rule.accepted.end(), size) != 0;
            auto packet = MakePacket(rule.command);
            EXPECT_EQ(packet->SetPayload(size, data.data()), accepted ? 0 : QNL::kFrameDataLength)
                << "command 0x" << std::hex << int(rule.command) << std::dec << ", " << size << " bytes";
        }
    }
}

TEST(DongleCommandSet, WrongDataLengthInAFrameIsRefused) {
    struct {
        const char* what;
        Bytes frame;
    } cases[] = {
        {"firmware answer, one byte 00", {0x02, 0x03, 0xAA, 0x00, 0xAD, 0x03}},
        {"data received, one byte", {0x02, 0x03, 0x42, 0x00, 0x45, 0x03}},
        {"unmodulated carrier, two bytes", {0x02, 0x04, 0x72, 0x10, 0x00, 0x86, 0x03}},
        {"stop test with a byte", {0x02, 0x03, 0x75, 0x00, 0x78, 0x03}},
    };
    for (const auto& c : cases) {
        auto packet = MakePacket(c.frame[2]);
        EXPECT_EQ(packet->ParseFrame(c.frame.data(), c.frame.size()), QNL::kFrameDataLength) << c.what;
    }
}

TEST(DongleCommandSet, ErrorAnswerLeavesModelAndVersionEmpty) {
    CFwVersionResponse response;
    const Bytes full(kFrameVectors[1].frame);
    ASSERT_GT(response.ParseFrame(full.data(), full.size()), 0);
    EXPECT_EQ(response.Param().ModelText(), "QUILLMARK-KVN");
    const Bytes error = {0x02, 0x03, 0xAA, 0x05, 0xB2, 0x03};
    ASSERT_EQ(response.ParseFrame(error.data(), error.size()), 6);
    EXPECT_EQ(response.ResultByte(), 5);
    EXPECT_EQ(response.Param().ModelText(), "");
    EXPECT_EQ(response.Param().VersionText(), "");
}

TEST(DongleCommandSet, ResultByteOnlyForResponses) {
    for (const auto& v : kFrameVectors) {
        auto packet = MakePacket(v.frame[2]);
        ASSERT_GT(packet->ParseFrame(v.frame.data(), v.frame.size()), 0);
        const bool response = (v.frame[2] & 0x80) != 0;
        EXPECT_EQ(packet->ResultByte(), response ? v.frame[3] : 0) << v.what;
    }
}

TEST(DongleCommandSet, DataReceivedEventKeepsItsDataLength) {
    QNL::PacketTa::CDataReceivedEvent event;
    const Bytes& frame = kFrameVectors[8].frame;
    ASSERT_EQ(event.ParseFrame(frame.data(), frame.size()), 9);
    EXPECT_EQ(event.Param().pipeNumber, 0);
    EXPECT_EQ(event.Param().continueFlag, 1);
    EXPECT_EQ(event.Param().dataLength, 2);
    EXPECT_EQ(event.Param().data[0], 0x03);
    EXPECT_EQ(event.Param().data[1], 0x07);
    EXPECT_EQ(event.Param().data[2], 0x00);
}

TEST(DongleCommandSet, OverlongRecordsAreCutTo29DataBytes) {
    QNL::PacketTa::TDataReceivedEventData report{};
    report.dataLength = 35;  // e.g. 5 + 5 x 6 samples
    QNL::PacketTa::CDataReceivedEvent event;
    event.SetRecord(report);
    EXPECT_EQ(event.Param().dataLength, 29);
    EXPECT_EQ(event.Data().size(), 31u);

    QNL::PacketTa::TShortDataSendData data{};
    data.dataLength = 200;
    QNL::PacketTa::CShortDataSendCommand command;
    command.SetRecord(data);
    const Bytes frame = command.BuildFrame();
    EXPECT_EQ(frame.size(), 36u);
    EXPECT_EQ(frame[4], 29);  // the length byte agrees with what travels
    QNL::PacketTa::CShortDataSendCommand parsed;
    EXPECT_EQ(parsed.ParseFrame(frame.data(), frame.size()), 36);
}

TEST(DongleCommandSet, PollingSettingFrame) {
    TPollingSetting setting = TPollingSetting::Fresh();
    setting.SetRateCode(5);
    CPollingDataSendCommand command;
    command.SetPollingSetting(setting);
    EXPECT_EQ(command.BuildFrame(), kFrameVectors[6].frame);
}

TEST(DongleCommandSet, FreshPacketsHoldZeroedRecords) {
    EXPECT_EQ(CModeConfirmCommand().Data(), (Bytes{0x00, 0x00}));
    EXPECT_EQ(CFwVersionResponse().Data(), Bytes(21, 0x00));
    EXPECT_EQ(QNL::PacketTa::CShortDataSendCommand().Data(), (Bytes{0x00, 0x00}));
    EXPECT_EQ(QNL::PacketTa::CDataReceivedEvent().Data(), (Bytes{0x00, 0x00}));
    EXPECT_TRUE(QNL::PacketTa::CFwVersionCommand().Data().empty());
}
