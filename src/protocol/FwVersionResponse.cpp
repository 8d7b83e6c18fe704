#include "protocol/FwVersionResponse.h"

#include "protocol/Packet/Result.h"
#include "protocol/RecordText.h"
#include "support/TextCodec.h"

using namespace QNL;

namespace {

size_t ImageSize(uint8_t result) {
    return result != 0 ? 1 : sizeof(TFwVersionData);
}

}  // namespace

std::vector<std::string> DescribeRecord(const TFwVersionData& record) {
    std::vector<std::string> lines{Packet::ResultLine(record.result)};
    if (record.result == 0) {
        lines.push_back("型番 = " + VEK::Cp932ToUtf8(record.ModelText()));
        lines.push_back("Version = " + VEK::Cp932ToUtf8(record.VersionText()));
    }
    return lines;
}

std::vector<std::string> RecordParamTexts(const TFwVersionData&) {
    return {};
}

bool ParseRecordTexts(const std::vector<std::string>&, TFwVersionData&) {
    return false;
}

int CFwVersionResponse::SetPayload(size_t size, const uint8_t* bytes) {
    if (size == 0 || size != ImageSize(bytes[0]))
        return kFrameDataLength;
    m_param = ZeroRecord();
    std::memcpy(&m_param, bytes, size);
    SetData(bytes, size);
    return 0;
}

void CFwVersionResponse::SetRecord(const TFwVersionData& record) {
    m_param = record;
    SetImage(ImageSize(m_param.result));
}
