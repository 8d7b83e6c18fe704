#include "protocol/Packet/Result.h"

#include "protocol/RecordText.h"

namespace QNL::Packet {

std::string ResultLine(uint8_t result) {
    return RecordText::ValueLine("結果", result == 0 ? "成功" : "エラー", result);
}

std::vector<std::string> DescribeRecord(const TResult& record) {
    return {ResultLine(record.result)};
}

std::vector<std::string> RecordParamTexts(const TResult& record) {
    return {RecordText::Decimal(record.result)};
}

bool ParseRecordTexts(const std::vector<std::string>& texts, TResult& record) {
    if (texts.empty())
        return false;
    record.result = RecordText::ByteValue(texts[0]);
    return true;
}

}  // namespace QNL::Packet
