#include "protocol/PollingDataSendCommand.h"

#include <algorithm>

void CPollingDataSendCommand::SetPollingSetting(const TPollingSetting& setting) {
    static_assert(sizeof(setting.bytes) <= QNL::PacketTa::TShortDataSendData::kMaxData);
    QNL::PacketTa::TShortDataSendData record = ZeroRecord();
    record.pipeNumber = 0;
    record.dataLength = static_cast<uint8_t>(setting.bytes.size());
    std::copy(setting.bytes.begin(), setting.bytes.end(), record.data);
    SetRecord(record);
}
