#pragma once
#include <cstdint>
#include <string>
#include <vector>

// Data of the polling data sent event (0x43): non-zero polling started, 0 polling stopped.
#pragma pack(push, 1)
struct TPollingDataSentData {
    uint8_t state;
};
#pragma pack(pop)
static_assert(sizeof(TPollingDataSentData) == 1);

std::vector<std::string> DescribeRecord(const TPollingDataSentData& record);
std::vector<std::string> RecordParamTexts(const TPollingDataSentData& record);
bool ParseRecordTexts(const std::vector<std::string>& texts, TPollingDataSentData& record);
