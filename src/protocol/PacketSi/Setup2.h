#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace QNL::PacketSi {

// Set-up of the test reception (0x74): channel and data rate as in TSetup1.
#pragma pack(push, 1)
struct TSetup2 {
    uint8_t channel;
    uint8_t dataRate;
};
#pragma pack(pop)
static_assert(sizeof(TSetup2) == 2);

std::vector<std::string> DescribeRecord(const TSetup2& record);
std::vector<std::string> RecordParamTexts(const TSetup2& record);
bool ParseRecordTexts(const std::vector<std::string>& texts, TSetup2& record);

}  // namespace QNL::PacketSi
