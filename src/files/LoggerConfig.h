#pragma once
#include <cstdint>

#include "files/AccessorSection.h"

namespace VEK {

// Entry types of the trace log.
enum ELogType : uint32_t {
    kLogMarker = 1,
    kLogError = 2,
    kLogTrace = 4,
    kLogPolling = 8,
    kLogFunction = 16,
};

// The logger's configuration, section "Trace" of VekLogger.ini.
struct TLoggerConfig {
    enum class ETime { Off, Normal, Full, Tick };

    bool enabled = true;
    uint32_t types = kLogMarker | kLogError | kLogTrace;
    uint32_t ringBytes = 1024 * 1024;
    ETime time = ETime::Normal;
    bool threadPrefix = true;
    int dump = 1;  // binary entries: 0 none, 1 first 16 bytes, 2 or more all

    // defaultLogSizeKb comes from define.ini "log-size".
    static TLoggerConfig Read(const AccessorSection& trace, int32_t defaultLogSizeKb);
};

}  // namespace VEK
