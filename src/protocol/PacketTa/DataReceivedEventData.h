#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace QNL::PacketTa {

// Data of the data received event (0x42): one unit report. The frame carries bytes 0 .. 1 + data
// length; dataLength itself is not transmitted.
#pragma pack(push, 1)
struct TDataReceivedEventData {
    static constexpr uint8_t kMaxData = 29;

    uint8_t pipeNumber;    // pipe the data came in on
    uint8_t continueFlag;  // non-zero: more follows; 0: last
    uint8_t data[kMaxData];
    uint8_t dataLength;  // the frame's data length minus 2
};
#pragma pack(pop)
static_assert(sizeof(TDataReceivedEventData) == 32);

std::vector<std::string> DescribeRecord(const TDataReceivedEventData& record);
// Not editable: no values, and parsing always fails.
std::vector<std::string> RecordParamTexts(const TDataReceivedEventData& record);
bool ParseRecordTexts(const std::vector<std::string>& texts, TDataReceivedEventData& record);

}  // namespace QNL::PacketTa
