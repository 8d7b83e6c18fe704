#include "protocol/DongleOperations.h"

#include <limits>

#include "protocol/FwVersionResponse.h"
#include "protocol/ModeConfirmCommand.h"
#include "protocol/ModeConfirmResponse.h"
#include "protocol/PacketTa/FwVersionCommand.h"
#include "protocol/PollingDataSendCommand.h"
#include "protocol/PollingDataSendResponse.h"

namespace QNL {

namespace {

int TimeoutMs(const TDongleCommandSettings& settings) {
    constexpr uint32_t kMax = static_cast<uint32_t>(std::numeric_limits<int>::max());
    return static_cast<int>(settings.commandTimeoutMs < kMax ? settings.commandTimeoutMs : kMax);
}

int SendModeSetting(VEK::IPacketCommandExecuter& executer, const TDongleCommandSettings& settings,
                    uint8_t operatingMode) {
    CModeConfirmCommand command;
    command.SetRecord({operatingMode, settings.systemNumber});
    CModeConfirmResponse response;
    int r = ExchangeWithRetries(executer, settings, response, command);
    if (r < 0)
        return r;
    return response.ResultByte() != 0 ? kModeSettingFailed : 0;
}

}  // namespace

int ExchangeWithRetries(VEK::IPacketCommandExecuter& executer, const TDongleCommandSettings& settings,
                        VEK::IPacketCommandExecuter::IPacket& response,
                        const VEK::IPacketCommandExecuter::IPacket& command) {
    const int timeoutMs = TimeoutMs(settings);
    int r = executer.Exchange(response, command, timeoutMs);
    for (uint32_t retry = 0; r < 0 && retry < settings.commandRetries; ++retry) {
        r = executer.Exchange(response, command, timeoutMs);
    }
    return r;
}

int RunConnectSequence(VEK::IPacketCommandExecuter& executer, const TDongleCommandSettings& settings,
                       TFwVersionData& firmware) {
    CFwVersionResponse version;
    // A dongle that does not tell its version is still set up.
    if (ExchangeWithRetries(executer, settings, version, PacketTa::CFwVersionCommand()) > 0)
        firmware = version.Param();
    if (int r = SendPollingSetting(executer, settings, false); r < 0)
        return r;
    return SendModeSetting(executer, settings, TModeConfirmData::kReceiveMode0);
}

TPollingSetting PollingOffSetting(const TPollingSetting& setting) {
    TPollingSetting off = setting;
    off.SetRateCode(0);
    for (int unit = 1; unit <= TPollingSetting::kUnits; ++unit) off.SetInUse(unit, false);
    return off;
}

int SendPollingSetting(VEK::IPacketCommandExecuter& executer, const TDongleCommandSettings& settings,
                       bool on) {
    CPollingDataSendCommand command;
    command.SetPollingSetting(on ? settings.pollingSetting : PollingOffSetting(settings.pollingSetting));
    CPollingDataSendResponse response;
    int r = ExchangeWithRetries(executer, settings, response, command);
    if (r < 0)
        return r;
    return response.ResultByte() != 0 ? kPollingSettingFailed : 0;
}

int SendPollingOff(VEK::IPacketCommandExecuter& executer, const TDongleCommandSettings& settings) {
    return SendPollingSetting(executer, settings, false);
}

int SendStandbyMode(VEK::IPacketCommandExecuter& executer, const TDongleCommandSettings& settings) {
    return SendModeSetting(executer, settings, TModeConfirmData::kStandby);
}

}  // namespace QNL
