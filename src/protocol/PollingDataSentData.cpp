#include "protocol/PollingDataSentData.h"

#include "protocol/RecordText.h"

using namespace QNL;

std::vector<std::string> DescribeRecord(const TPollingDataSentData& record) {
    return {RecordText::ValueLine("状態", record.state != 0 ? "開始" : "停止", record.state)};
}

std::vector<std::string> RecordParamTexts(const TPollingDataSentData& record) {
    return {RecordText::Decimal(record.state)};
}

bool ParseRecordTexts(const std::vector<std::string>& texts, TPollingDataSentData& record) {
    if (texts.empty())
        return false;
    record.state = RecordText::ByteValue(texts[0]);
    return true;
}
