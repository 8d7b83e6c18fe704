#include "protocol/PacketTa/ShortDataSendData.h"

#include <algorithm>
#include <cstring>
#include <string_view>

#include "protocol/RecordText.h"
#include "support/NumberText.h"

namespace QNL::PacketTa {

namespace {

constexpr size_t kDescribedBytes = 16;

// The hex text as RecordParamTexts gives it, without its enclosing double quotes.
std::string_view Unquoted(std::string_view text) {
    if (text.size() >= 2 && text.front() == '"' && text.back() == '"')
        return text.substr(1, text.size() - 2);
    return text;
}

}  // namespace

std::vector<std::string> DescribeRecord(const TShortDataSendData& record) {
    const size_t shown = std::min<size_t>(record.dataLength, kDescribedBytes);
    std::string bytes = "送信データ = " + RecordText::HexBytes(record.data, shown);
    if (record.dataLength > kDescribedBytes)
        bytes += "...";
    return {"パイプ番号 = " + RecordText::Decimal(record.pipeNumber),
            "データレングス = " + RecordText::Decimal(record.dataLength), bytes};
}

std::vector<std::string> RecordParamTexts(const TShortDataSendData& record) {
    const size_t valid = std::min(record.dataLength, TShortDataSendData::kMaxData);
    return {RecordText::Decimal(record.pipeNumber), RecordText::Decimal(record.dataLength),
            "\"" + VEK::EncodeHexText(record.data, valid) + "\""};
}

bool ParseRecordTexts(const std::vector<std::string>& texts, TShortDataSendData& record) {
    if (texts.size() < 2)
        return false;
    record.pipeNumber = RecordText::ByteValue(texts[0]);
    // The length is what the value says, not what the hex text holds.
    record.dataLength = RecordText::ByteValue(texts[1]);
    if (texts.size() >= 3) {
        const std::vector<uint8_t> data =
            VEK::DecodeHexText(Unquoted(texts[2]), TShortDataSendData::kMaxData);
        std::memset(record.data, 0, sizeof record.data);
        std::copy(data.begin(), data.end(), record.data);
    }
    return true;
}

}  // namespace QNL::PacketTa
