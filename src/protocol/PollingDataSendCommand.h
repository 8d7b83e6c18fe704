#pragma once
#include "protocol/CommandCode.h"
#include "protocol/PacketTa/ShortDataSendCommand.h"
#include "protocol/PollingSetting.h"

// 0x17: hands the dongle the polling setting, laid out as short data on pipe 0 with 26 data bytes.
class CPollingDataSendCommand : public QNL::PacketTa::CShortDataSendCommand {
public:
    CPollingDataSendCommand()
        : CShortDataSendCommand(QNL::Code::kPollingSetting, "ポーリングデータ送信設定コマンド") {}

    // Pipe 0, data length 26, the setting's bytes as data (a 33-byte frame).
    void SetPollingSetting(const TPollingSetting& setting);
};
