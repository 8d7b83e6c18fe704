#pragma once
#include "link/IPacketCommandExecuter.h"
#include "protocol/DongleCommandSettings.h"
#include "protocol/FwVersionData.h"

// The dongle operations the measurement controller calls. Each sends through the given executer
// (normally the application's serialising command executer in front of the dongle commander) and
// blocks for at most (1 + command retries) x command time-out per command. None may be called
// from a commander listener: those calls run on the receive thread the answers arrive on.
namespace QNL {

// The polling setting was answered with a non-zero result.
constexpr int kPollingSettingFailed = -998;
// The mode setting was answered with a non-zero result.
constexpr int kModeSettingFailed = -999;

// Exchange, repeated up to commandRetries more times while it fails (negative result). An answer
// that arrived, whatever its result byte, is not retried. The last result.
int ExchangeWithRetries(VEK::IPacketCommandExecuter& executer, const TDongleCommandSettings& settings,
                        VEK::IPacketCommandExecuter::IPacket& response,
                        const VEK::IPacketCommandExecuter::IPacket& command);

// Firmware version query (its answer fills firmware; a silent dongle leaves it alone), polling
// off, then receive mode with the system number. 0, a negative link result, -998 or -999.
int RunConnectSequence(VEK::IPacketCommandExecuter& executer, const TDongleCommandSettings& settings,
                       TFwVersionData& firmware);

// The polling setting as given (on), or with the rate code 0 and no unit in use, each unit's
// information request kept (off). 0, a negative link result or -998.
int SendPollingSetting(VEK::IPacketCommandExecuter& executer, const TDongleCommandSettings& settings,
                       bool on);
int SendPollingOff(VEK::IPacketCommandExecuter& executer, const TDongleCommandSettings& settings);

// Mode setting with standby and the system number. 0, a negative link result or -999.
int SendStandbyMode(VEK::IPacketCommandExecuter& executer, const TDongleCommandSettings& settings);

// The setting that polling off hands the dongle.
TPollingSetting PollingOffSetting(const TPollingSetting& setting);

}  // namespace QNL
