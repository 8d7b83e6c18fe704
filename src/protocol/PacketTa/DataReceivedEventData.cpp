#include "protocol/PacketTa/DataReceivedEventData.h"

#include <algorithm>

#include "protocol/RecordText.h"

namespace QNL::PacketTa {

std::vector<std::string> DescribeRecord(const TDataReceivedEventData& record) {
    const size_t shown = std::min(record.dataLength, TDataReceivedEventData::kMaxData);
    return {"パイプ番号 = " + RecordText::Decimal(record.pipeNumber),
            RecordText::ValueLine("継続", record.continueFlag != 0 ? "継続" : "終端", record.continueFlag),
            RecordText::Format("データ = %s(l=%d)", RecordText::HexBytes(record.data, shown).c_str(),
                               record.dataLength)};
}

std::vector<std::string> RecordParamTexts(const TDataReceivedEventData&) {
    return {};
}

bool ParseRecordTexts(const std::vector<std::string>&, TDataReceivedEventData&) {
    return false;
}

}  // namespace QNL::PacketTa
