#include <gtest/gtest.h>

#include "protocol/PacketCatalog.h"

using namespace protocol_test;
using Bytes = std::vector<uint8_t>;
using Lines = std::vector<std::string>;

namespace {

Lines DescribeFrame(const Bytes& frame) {
    auto packet = MakePacket(frame[2]);
    EXPECT_EQ(packet->ParseFrame(frame.data(), frame.size()), static_cast<int>(frame.size()));
    return packet->DescribeLines();
}

}  // namespace

TEST(PacketText, DescriptionLines) {
    struct {
        Bytes frame;
        Lines lines;
    } cases[] = {
        {{0x02, 0x02, 0x2A, 0x2C, 0x03}, {"F/Wバージョン確認コマンド"}},
        {{0x02, 0x03, 0x8F, 0x00, 0x92, 0x03}, {"モード設定レスポンス", "結果 = 成功(0)"}},
        {{0x02, 0x03, 0x8F, 0x01, 0x93, 0x03}, {"モード設定レスポンス", "結果 = エラー(1)"}},
        {{0x02, 0x04, 0x0F, 0x01, 0x05, 0x19, 0x03},
         {"モード設定コマンド", "動作モード = Unknown(1)", "システム番号 = 5"}},
        {{0x02, 0x04, 0x0F, 0x02, 0x05, 0x1A, 0x03},
         {"モード設定コマンド", "動作モード = 受信モード０(2)", "システム番号 = 5"}},
        {{0x02, 0x04, 0x0F, 0x00, 0x07, 0x1A, 0x03},
         {"モード設定コマンド", "動作モード = 待機モード(0)", "システム番号 = 7"}},
        {{0x02, 0x17, 0xAA, 0x00, 0x51, 0x55, 0x49, 0x4C, 0x4C, 0x4D, 0x41, 0x52, 0x4B,
          0x2D, 0x4B, 0x56, 0x4E, 0x00, 0x00, 0x00, 0x31, 0x2E, 0x30, 0x30, 0x4E, 0x03},
         {"F/Wバージョン確認レスポンス", "結果 = 成功(0)", "型番 = QUILLMARK-KVN", "Version = 1.00"}},
        {{0x02, 0x03, 0xAA, 0x05, 0xB2, 0x03}, {"F/Wバージョン確認レスポンス", "結果 = エラー(5)"}},
        {{0x02, 0x07, 0x11, 0x00, 0x03, 0x0A, 0x0B, 0x0C, 0x3C, 0x03},
         {"短データ送信コマンド", "パイプ番号 = 0", "データレングス = 3", "送信データ = 0A 0B 0C "}},
        {{0x02, 0x06, 0x42, 0x00, 0x01, 0x03, 0x07, 0x53, 0x03},
         {"データ受信通知イベント", "パイプ番号 = 0", "継続 = 継続(1)", "データ = 03 07 (l=2)"}},
        {{0x02, 0x04, 0x42, 0x03, 0x00, 0x49, 0x03},
         {"データ受信通知イベント", "パイプ番号 = 3", "継続 = 終端(0)", "データ = (l=0)"}},
        {{0x02, 0x03, 0x43, 0x00, 0x46, 0x03}, {"ポーリングデータ送信イベント", "状態 = 停止(0)"}},
        {{0x02, 0x03, 0x43, 0x01, 0x47, 0x03}, {"ポーリングデータ送信イベント", "状態 = 開始(1)"}},
        {{0x02, 0x05, 0x71, 0x50, 0x03, 0x02, 0xCB, 0x03},
         {"変調出力開始要求コマンド", "周波数 = 2480MHz(80)", "出力パワー = 0dBm(3)",
          "転送レート = 250kbps(2)"}},
        {{0x02, 0x05, 0x72, 0x00, 0x04, 0x00, 0x7B, 0x03},
         {"無変調出力開始要求コマンド", "周波数 = 2400MHz(0)", "出力パワー = Unknown(4)",
          "転送レート = 1Mbps(0)"}},
        {{0x02, 0x04, 0x74, 0x02, 0x07, 0x81, 0x03},
         {"試験受信開始要求コマンド", "周波数 = 2402MHz(2)", "転送レート = Unknown(7)"}},
        {{0x02, 0x04, 0x74, 0xFF, 0x01, 0x78, 0x03},
         {"試験受信開始要求コマンド", "周波数 = 2655MHz(255)", "転送レート = 2Mbps(1)"}},
        {{0x02, 0x02, 0x75, 0x77, 0x03}, {"技適試験動作停止要求コマンド"}},
        {{0x02, 0x03, 0xF5, 0x00, 0xF8, 0x03}, {"技適試験動作停止要求レスポンス", "結果 = 成功(0)"}},
    };
    for (const auto& c : cases) EXPECT_EQ(DescribeFrame(c.frame), c.lines) << c.lines[0];
    EXPECT_TRUE(QNL::CBasicPacket().DescribeLines().empty());
}

TEST(PacketText, LongShortDataShowsSixteenBytesAndDots) {
    QNL::PacketTa::TShortDataSendData data{};
    data.dataLength = 20;
    for (int i = 0; i < 20; ++i) data.data[i] = static_cast<uint8_t>(0xA0 + i);
    QNL::PacketTa::CShortDataSendCommand command;
    command.SetRecord(data);
    EXPECT_EQ(command.DescribeLines()[3], "送信データ = A0 A1 A2 A3 A4 A5 A6 A7 A8 A9 AA AB AC AD AE AF ...");
}

TEST(PacketText, ByteValuesReadAsCIntegers) {
    struct {
        const char* text;
        uint8_t value;
    } cases[] = {
        {"0x1F", 0x1F}, {"0X1f", 0x1F}, {"017", 15}, {"08", 0},   {"", 0},     {"42", 42},
        {"255", 255},   {"256", 0},     {"300", 44}, {"-1", 255}, {"7abc", 7}, {"99999999999999999999", 0xFF},
    };
    for (const auto& c : cases) {
        CPollingDataSendResponse response;
        ASSERT_TRUE(response.SetParamTexts({c.text})) << c.text;
        EXPECT_EQ(response.ResultByte(), c.value) << c.text;
        EXPECT_EQ(response.Data(), Bytes{c.value}) << c.text;
    }
}

TEST(PacketText, TooFewValuesChangeNothing) {
    struct {
        uint8_t command;
        size_t minimum;
    } cases[] = {{0x8F, 1}, {0x43, 1}, {0x0F, 2}, {0x11, 2}, {0x17, 2}, {0x71, 3}, {0x74, 2}};
    for (const auto& c : cases) {
        auto packet = MakePacket(c.command);
        const Bytes before = packet->Data();
        EXPECT_FALSE(packet->SetParamTexts(std::vector<std::string>(c.minimum - 1, "9"))) << int(c.command);
        EXPECT_EQ(packet->Data(), before);
        EXPECT_TRUE(packet->SetParamTexts(std::vector<std::string>(c.minimum, "9"))) << int(c.command);
        EXPECT_EQ(packet->Data()[0], 9) << int(c.command);
    }
}

TEST(PacketText, NotEditableRecordsRefuseValues) {
    for (uint8_t command : {0xAA, 0x42}) {
        auto packet = MakePacket(command);
        EXPECT_TRUE(packet->ParamTexts().empty());
        EXPECT_FALSE(packet->SetParamTexts({"0", "1", "2", "3"}));
    }
    // Packets without a record take anything and stay as they are.
    auto stop = MakePacket(0x75);
    EXPECT_TRUE(stop->SetParamTexts({"1"}));
    EXPECT_TRUE(stop->Data().empty());
}

TEST(PacketText, ShortDataValues) {
    struct {
        std::vector<std::string> texts;
        Bytes data;  // what travels after pipe and length
    } cases[] = {
        {{"0", "3", "0A-0b_0c"}, {0x0A, 0x0B, 0x0C}},
        {{"0", "4", "abc"}, {0x0A, 0xBC, 0x00, 0x00}},
        {{"0", "2", " 1 2\t3\r\n4"}, {0x12, 0x34}},
        {{"0", "3", "12x34"}, {0x12, 0x00, 0x00}},
        {{"0", "1", ""}, {0x00}},
        {{"0", "3", "\"0A0B0C\""}, {0x0A, 0x0B, 0x0C}},
        {{"0", "0x1D", std::string(70, 'F')}, Bytes(29, 0xFF)},
        {{"0", "200", "01"},
         [] {
             Bytes b(29, 0x00);
             b[0] = 0x01;
             return b;
         }()},
    };
    for (const auto& c : cases) {
        QNL::PacketTa::CShortDataSendCommand command;
        ASSERT_TRUE(command.SetParamTexts(c.texts)) << c.texts[2];
        const Bytes& sent = command.Data();
        ASSERT_EQ(sent.size(), c.data.size() + 2) << c.texts[2];
        EXPECT_EQ(sent[0], 0x00);
        EXPECT_EQ(sent[1], c.data.size());
        EXPECT_TRUE(std::equal(c.data.begin(), c.data.end(), sent.begin() + 2)) << c.texts[2];
    }
}

TEST(PacketText, ValueStringsRoundTrip) {
    struct {
        Bytes frame;
        std::vector<std::string> texts;
    } cases[] = {
        {{0x02, 0x04, 0x0F, 0x02, 0x05, 0x1A, 0x03}, {"2", "5"}},
        {{0x02, 0x07, 0x11, 0x00, 0x03, 0x0A, 0x0B, 0x0C, 0x3C, 0x03}, {"0", "3", "\"0A0B0C\""}},
        {{0x02, 0x03, 0x97, 0x01, 0x9B, 0x03}, {"1"}},
        {{0x02, 0x05, 0x71, 0x50, 0x03, 0x02, 0xCB, 0x03}, {"80", "3", "2"}},
        {{0x02, 0x04, 0x74, 0x02, 0x07, 0x81, 0x03}, {"2", "7"}},
    };
    for (const auto& c : cases) {
        auto parsed = MakePacket(c.frame[2]);
        ASSERT_GT(parsed->ParseFrame(c.frame.data(), c.frame.size()), 0);
        EXPECT_EQ(parsed->ParamTexts(), c.texts);
        auto edited = MakePacket(c.frame[2]);
        ASSERT_TRUE(edited->SetParamTexts(parsed->ParamTexts()));
        EXPECT_EQ(edited->BuildFrame(), c.frame);
    }
}
