#include "files/LoggerConfig.h"

#include <algorithm>
#include <cstdint>
#include <string>

namespace VEK {
namespace {

bool Has(const std::string& text, const char* part) {
    return text.find(part) != std::string::npos;
}

// LogSize in kilobytes: negative reads as the default ("log-size", itself 1024 when negative), 0 as
// 1, and the byte count must fit 32 bits.
uint32_t RingKilobytes(int32_t logSizeKb, int32_t defaultLogSizeKb) {
    constexpr int32_t kMaxKb = static_cast<int32_t>(UINT32_MAX / 1024);
    int32_t kb = logSizeKb >= 0 ? logSizeKb : (defaultLogSizeKb >= 0 ? defaultLogSizeKb : 1024);
    return static_cast<uint32_t>(std::clamp(kb, 1, kMaxKb));
}

}  // namespace

TLoggerConfig TLoggerConfig::Read(const AccessorSection& trace, int32_t defaultLogSizeKb) {
    TLoggerConfig config;
    std::string types = trace.GetString("Types", "trace");
    if (types.empty())
        types = "trace";
    config.types = Has(types, "err") ? (kLogMarker | kLogError) : (kLogMarker | kLogError | kLogTrace);
    if (Has(types, "trace"))
        config.types |= kLogTrace;
    if (Has(types, "poll"))
        config.types |= kLogPolling;
    if (Has(types, "func"))
        config.types |= kLogFunction;
    config.enabled = !Has(types, "off");

    config.ringBytes = RingKilobytes(trace.GetInteger("LogSize", -1), defaultLogSizeKb) * 1024;

    std::string time = trace.GetString("Time", "normal");
    if (Has(time, "off")) {
        config.time = ETime::Off;
    } else if (Has(time, "normal")) {
        config.time = ETime::Normal;
    } else if (Has(time, "full")) {
        config.time = ETime::Full;
    } else if (Has(time, "tick")) {
        config.time = ETime::Tick;
    }
    config.threadPrefix = !Has(trace.GetString("Thread", "on"), "off");
    config.dump = trace.GetInteger("Dump", 1);
    return config;
}

}  // namespace VEK
