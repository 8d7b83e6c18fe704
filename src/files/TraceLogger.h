#pragma once
#include <chrono>
#include <cstdarg>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "files/AsyncWriter.h"
#include "files/LogRingFile.h"
#include "files/LoggerConfig.h"
#include "support/SystemTime.h"

namespace VEK {

// The application log: entries are queued with their time and thread and written by a
// low-priority thread into a fixed-size ring file.
class CTraceLogger : private CCopyImpossible {
public:
    static constexpr std::chrono::milliseconds kShutdownDrainBound{5000};

    // Where the configuration and the file path come from; asked again at every start attempt.
    CTraceLogger(std::function<TLoggerConfig()> configSource, std::function<std::string()> pathSource);
    ~CTraceLogger();

    // printf-like entry of type trace; true when the entry was queued.
    bool Trace(const char* format, ...) __attribute__((format(printf, 2, 3)));
    bool Entry(uint32_t type, std::string text);
    bool Binary(uint32_t type, const uint8_t* bytes, size_t size);
    // Writes what was queued within drainBound, drops the rest (counted in a last entry), writes
    // the end marker, closes the file and ends the writer; later entries are ignored.
    void Shutdown(std::chrono::milliseconds drainBound = kShutdownDrainBound);

private:
    struct TEntry {
        uint32_t type;
        std::string text;
        std::vector<uint8_t> bytes;
        bool binary;
        CSystemTime time;
        int64_t tickMs;
        uint32_t threadId;
    };

    static TEntry MakeEntry(uint32_t type, std::string text, std::vector<uint8_t> bytes, bool binary);
    bool Queue(TEntry entry);
    bool EnsureStarted();
    bool Post(TEntry entry);
    void Write(const TEntry& entry);
    std::string Prefix(const TEntry& entry);

    std::function<TLoggerConfig()> m_configSource;
    std::function<std::string()> m_pathSource;
    std::mutex m_mutex;
    bool m_started = false;
    bool m_shutDown = false;
    // Entries made by the configuration or path source while this logger starts (on the starting
    // thread, which holds m_mutex); queued after the start marker.
    std::vector<TEntry> m_deferred;
    TLoggerConfig m_config;
    CLogRingFile m_file;  // used only on the writer thread once started
    int64_t m_lastTickMs = -1;
    CAsyncWriter m_writer;
};

// The process's logger: configuration from Setup/VekLogger.ini, file from define.ini "folder" "log".
CTraceLogger& TraceLogger();

}  // namespace VEK
