#include "protocol/PacketSi/Setup2.h"

#include "protocol/PacketSi/Setup1.h"
#include "protocol/RecordText.h"

namespace QNL::PacketSi {

std::vector<std::string> DescribeRecord(const TSetup2& record) {
    return {FrequencyLine(record.channel), DataRateLine(record.dataRate)};
}

std::vector<std::string> RecordParamTexts(const TSetup2& record) {
    return {RecordText::Decimal(record.channel), RecordText::Decimal(record.dataRate)};
}

bool ParseRecordTexts(const std::vector<std::string>& texts, TSetup2& record) {
    if (texts.size() < 2)
        return false;
    record.channel = RecordText::ByteValue(texts[0]);
    record.dataRate = RecordText::ByteValue(texts[1]);
    return true;
}

}  // namespace QNL::PacketSi
