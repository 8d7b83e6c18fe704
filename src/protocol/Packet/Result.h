#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace QNL::Packet {

// A response's only datum: 0 success, any other value an error.
#pragma pack(push, 1)
struct TResult {
    uint8_t result;
};
#pragma pack(pop)
static_assert(sizeof(TResult) == 1);

// "結果 = 成功(0)" or "結果 = エラー(n)"; also used by the firmware version response.
std::string ResultLine(uint8_t result);

std::vector<std::string> DescribeRecord(const TResult& record);
std::vector<std::string> RecordParamTexts(const TResult& record);
bool ParseRecordTexts(const std::vector<std::string>& texts, TResult& record);

}  // namespace QNL::Packet
