#pragma once
#include "protocol/AbstractParamPacketT.h"
#include "protocol/CommandCode.h"
#include "protocol/FwVersionData.h"

// Result line, then model and version only when the result is 0. The texts are single-byte
// (ANSI code page) and are converted to UTF-8.
std::vector<std::string> DescribeRecord(const TFwVersionData& record);
// Not editable: no values, and parsing always fails.
std::vector<std::string> RecordParamTexts(const TFwVersionData& record);
bool ParseRecordTexts(const std::vector<std::string>& texts, TFwVersionData& record);

// 0xAA: the dongle's model and firmware version; a non-zero result comes alone, as one byte.
class CFwVersionResponse : public QNL::CAbstractParamPacketT<TFwVersionData> {
public:
    CFwVersionResponse()
        : CAbstractParamPacketT(QNL::Code::kFwVersionResponse, "F/Wバージョン確認レスポンス") {}

    // 1 byte when it is non-zero, 21 bytes when the first is 0; the record is zeroed first, so
    // an error leaves model and version empty.
    int SetPayload(size_t size, const uint8_t* bytes) override;
    // The data are the result byte alone when it is non-zero, else the whole record.
    void SetRecord(const TFwVersionData& record) override;
    uint8_t ResultByte() const override { return m_param.result; }
};
