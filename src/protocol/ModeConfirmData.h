#pragma once
#include <cstdint>
#include <string>
#include <vector>

// Data of the mode setting command (0x0F).
#pragma pack(push, 1)
struct TModeConfirmData {
    static constexpr uint8_t kStandby = 0;
    static constexpr uint8_t kReceiveMode0 = 2;

    uint8_t operatingMode;  // kStandby or kReceiveMode0; other values belong to the dongle
    uint8_t systemNumber;   // the installation's radio system number
};
#pragma pack(pop)
static_assert(sizeof(TModeConfirmData) == 2);

std::vector<std::string> DescribeRecord(const TModeConfirmData& record);
std::vector<std::string> RecordParamTexts(const TModeConfirmData& record);
bool ParseRecordTexts(const std::vector<std::string>& texts, TModeConfirmData& record);
