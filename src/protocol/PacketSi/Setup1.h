#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace QNL::PacketSi {

// Set-up of the carrier and identification tests (0x71 to 0x73).
#pragma pack(push, 1)
struct TSetup1 {
    uint8_t channel;      // radio frequency 2400 + channel MHz
    uint8_t outputPower;  // 0 -18dBm, 1 -12dBm, 2 -6dBm, 3 0dBm
    uint8_t dataRate;     // 0 1Mbps, 1 2Mbps, 2 250kbps
};
#pragma pack(pop)
static_assert(sizeof(TSetup1) == 3);

// "周波数 = 2480MHz(80)" and "転送レート = 250kbps(2)", shared with TSetup2.
std::string FrequencyLine(uint8_t channel);
std::string DataRateLine(uint8_t dataRate);

std::vector<std::string> DescribeRecord(const TSetup1& record);
std::vector<std::string> RecordParamTexts(const TSetup1& record);
bool ParseRecordTexts(const std::vector<std::string>& texts, TSetup1& record);

}  // namespace QNL::PacketSi
