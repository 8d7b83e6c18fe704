#include "protocol/PacketSi/Setup1.h"

#include "protocol/RecordText.h"

namespace QNL::PacketSi {

namespace {

const char* OutputPowerText(uint8_t power) {
    static const char* const kTexts[] = {"-18dBm", "-12dBm", "-6dBm", "0dBm"};
    return power < std::size(kTexts) ? kTexts[power] : "Unknown";
}

const char* DataRateText(uint8_t rate) {
    static const char* const kTexts[] = {"1Mbps", "2Mbps", "250kbps"};
    return rate < std::size(kTexts) ? kTexts[rate] : "Unknown";
}

}  // namespace

std::string FrequencyLine(uint8_t channel) {
    const std::string frequency = RecordText::Format("%dMHz", 2400 + channel);
    return RecordText::ValueLine("周波数", frequency.c_str(), channel);
}

std::string DataRateLine(uint8_t dataRate) {
    return RecordText::ValueLine("転送レート", DataRateText(dataRate), dataRate);
}

std::vector<std::string> DescribeRecord(const TSetup1& record) {
    return {FrequencyLine(record.channel),
            RecordText::ValueLine("出力パワー", OutputPowerText(record.outputPower), record.outputPower),
            DataRateLine(record.dataRate)};
}

std::vector<std::string> RecordParamTexts(const TSetup1& record) {
    return {RecordText::Decimal(record.channel), RecordText::Decimal(record.outputPower),
            RecordText::Decimal(record.dataRate)};
}

bool ParseRecordTexts(const std::vector<std::string>& texts, TSetup1& record) {
    if (texts.size() < 3)
        return false;
    record.channel = RecordText::ByteValue(texts[0]);
    record.outputPower = RecordText::ByteValue(texts[1]);
    record.dataRate = RecordText::ByteValue(texts[2]);
    return true;
}

}  // namespace QNL::PacketSi
