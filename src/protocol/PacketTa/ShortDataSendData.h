#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace QNL::PacketTa {

// Data of the short data send command (0x11) and the polling data send setting (0x17). Only
// bytes 0 .. 1 + data length travel, that is 2 to 31 bytes.
#pragma pack(push, 1)
struct TShortDataSendData {
    static constexpr uint8_t kMaxData = 29;

    uint8_t pipeNumber;  // radio pipe the data go to; the application always uses 0
    uint8_t dataLength;  // valid bytes in data, at most kMaxData
    uint8_t data[kMaxData];
};
#pragma pack(pop)
static_assert(sizeof(TShortDataSendData) == 31);

// Pipe number, data length and "送信データ = " with at most 16 bytes in hex ("..." after more).
std::vector<std::string> DescribeRecord(const TShortDataSendData& record);
// Pipe number, data length, the data bytes as quoted upper-case hex text.
std::vector<std::string> RecordParamTexts(const TShortDataSendData& record);
// At least pipe number and data length; a third value is hex text for the data (rest zero).
bool ParseRecordTexts(const std::vector<std::string>& texts, TShortDataSendData& record);

}  // namespace QNL::PacketTa
