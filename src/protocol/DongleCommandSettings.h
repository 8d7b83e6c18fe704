#pragma once
#include <cstdint>

#include "protocol/PollingSetting.h"

namespace QNL {

// What the dongle operations take from the installation's parameters.
struct TDongleCommandSettings {
    uint8_t systemNumber = 0;
    TPollingSetting pollingSetting = TPollingSetting::Fresh();
    uint32_t commandTimeoutMs = 500;
    // Further tries after a command that got no usable answer.
    uint32_t commandRetries = 1;
};

}  // namespace QNL
