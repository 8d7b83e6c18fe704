#include "protocol/ModeConfirmData.h"

#include "protocol/RecordText.h"

using namespace QNL;

namespace {

const char* ModeText(uint8_t mode) {
    switch (mode) {
        case TModeConfirmData::kStandby:
            return "待機モード";
        case TModeConfirmData::kReceiveMode0:
            return "受信モード０";
        default:
            return "Unknown";
    }
}

}  // namespace

std::vector<std::string> DescribeRecord(const TModeConfirmData& record) {
    return {RecordText::ValueLine("動作モード", ModeText(record.operatingMode), record.operatingMode),
            RecordText::Format("システム番号 = %d", record.systemNumber)};
}

std::vector<std::string> RecordParamTexts(const TModeConfirmData& record) {
    return {RecordText::Decimal(record.operatingMode), RecordText::Decimal(record.systemNumber)};
}

bool ParseRecordTexts(const std::vector<std::string>& texts, TModeConfirmData& record) {
    if (texts.size() < 2)
        return false;
    record.operatingMode = RecordText::ByteValue(texts[0]);
    record.systemNumber = RecordText::ByteValue(texts[1]);
    return true;
}
