#include "files/LoggerConfig.h"

#include <string>

namespace VEK {
namespace {

bool Has(const std::string& text, const char* part) {
    return text.find(part) != std::string::npos;
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

    uint32_t sizeKb = static_cast<uint32_t>(trace.GetInteger("LogSize", defaultLogSizeKb));
    if (sizeKb == 0)
        sizeKb = 1;
    if (sizeKb > 4u * 1024 * 1024)
        sizeKb = 4u * 1024 * 1024;  // keeps the byte count within 32 bits
    config.ringBytes = sizeKb * 1024;

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
