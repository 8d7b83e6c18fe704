#include "app/CounterpartTitle.h"

#include <algorithm>
#include <cstdio>

std::string TCounterpartTitle::Text() const {
    if (!measuring)
        return "対向";
    const uint64_t last = recordsMeasured == 0 ? 0 : recordsMeasured - 1;
    const uint64_t record = std::min<uint64_t>(last, static_cast<uint64_t>(start) + samplesPerScreen);
    const uint64_t seconds = record * periodMs / 1000;
    char time[48];
    std::snprintf(time, sizeof time, "%02llu:%02llu:%02llu", static_cast<unsigned long long>(seconds / 3600),
                  static_cast<unsigned long long>(seconds / 60 % 60),
                  static_cast<unsigned long long>(seconds % 60));
    return "対向 - " + elapsedText + " / " + time;
}
