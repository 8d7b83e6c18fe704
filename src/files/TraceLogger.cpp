#include "files/TraceLogger.h"

#include <sys/syscall.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <string_view>

#include "files/Settings.h"

namespace VEK {
namespace {

constexpr const char* kStartMarker = "----------<<起動>>----------";
constexpr const char* kEndMarker = "----------<<終了>>----------";

// The logger this thread is starting, whose sources may make entries of their own.
thread_local const CTraceLogger* t_startingLogger = nullptr;

int64_t TickMs() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

std::vector<std::string> DumpLines(const std::vector<uint8_t>& bytes, size_t count) {
    std::vector<std::string> lines;
    for (size_t offset = 0; offset < count; offset += 16) {
        char part[16];
        std::snprintf(part, sizeof part, "%04X : ", static_cast<unsigned>(offset & 0xFFFF));
        std::string line = part;
        std::string chars;
        for (size_t i = offset; i < offset + 16; ++i) {
            if (i < count) {
                std::snprintf(part, sizeof part, "%02X ", bytes[i]);
                line += part;
                chars += bytes[i] < 32 ? '.' : static_cast<char>(bytes[i]);
            } else {
                line += "-- ";
            }
        }
        lines.push_back(line + " : " + chars);
    }
    return lines;
}

// The time of an entry line ("24/05/06-07:08:09.123"), or the line itself when it has none.
std::string EntryTime(const std::string& line) {
    static constexpr std::string_view kPattern = "00/00/00-00:00:00.000";
    for (size_t at = 0; at + kPattern.size() <= line.size(); ++at) {
        bool match = true;
        for (size_t i = 0; i < kPattern.size() && match; ++i) {
            const char c = line[at + i];
            match = kPattern[i] == '0' ? c >= '0' && c <= '9' : c == kPattern[i];
        }
        if (match)
            return line.substr(at, kPattern.size());
    }
    return line.substr(0, 200);
}

}  // namespace

CTraceLogger::CTraceLogger(std::function<TLoggerConfig()> configSource,
                           std::function<std::string()> pathSource)
    : m_configSource(std::move(configSource)), m_pathSource(std::move(pathSource)) {}

CTraceLogger::~CTraceLogger() {
    Shutdown();
}

bool CTraceLogger::Trace(const char* format, ...) {
    va_list args;
    va_start(args, format);
    va_list copy;
    va_copy(copy, args);
    int n = std::vsnprintf(nullptr, 0, format, copy);
    va_end(copy);
    std::string text(n > 0 ? static_cast<size_t>(n) : 0, '\0');
    if (n > 0)
        std::vsnprintf(text.data(), text.size() + 1, format, args);
    va_end(args);
    return Entry(kLogTrace, std::move(text));
}

bool CTraceLogger::Entry(uint32_t type, std::string text) {
    return Queue(MakeEntry(type, std::move(text), {}, false));
}

bool CTraceLogger::Binary(uint32_t type, const uint8_t* bytes, size_t size) {
    return Queue(MakeEntry(type, {}, std::vector<uint8_t>(bytes, bytes + size), true));
}

CTraceLogger::TEntry CTraceLogger::MakeEntry(uint32_t type, std::string text, std::vector<uint8_t> bytes,
                                             bool binary) {
    return TEntry{type,
                  std::move(text),
                  std::move(bytes),
                  binary,
                  CSystemTime::Now(),
                  TickMs(),
                  static_cast<uint32_t>(syscall(SYS_gettid))};
}

bool CTraceLogger::Queue(TEntry entry) {
    if (t_startingLogger == this) {
        m_deferred.push_back(std::move(entry));  // this thread holds m_mutex in EnsureStarted
        return true;
    }
    std::lock_guard<std::mutex> lock(m_mutex);
    if (!EnsureStarted())
        return false;
    return Post(std::move(entry));
}

// Called with m_mutex held.
bool CTraceLogger::Post(TEntry entry) {
    if ((m_config.types & entry.type) == 0)
        return false;
    return m_writer.Post([this, entry = std::move(entry)] { Write(entry); });
}

// Called with m_mutex held.
bool CTraceLogger::EnsureStarted() {
    if (m_started)
        return true;
    if (m_shutDown)
        return false;
    std::string path;
    {
        struct TStarting {
            explicit TStarting(const CTraceLogger* logger) { t_startingLogger = logger; }
            ~TStarting() { t_startingLogger = nullptr; }
        } starting(this);
        m_config = m_configSource();
        path = m_config.enabled ? m_pathSource() : std::string();
    }
    std::vector<TEntry> deferred = std::move(m_deferred);
    m_deferred.clear();
    if (!m_config.enabled || !m_file.Open(path, m_config.ringBytes))
        return false;
    const std::string newest = m_file.NewestLine();
    if (!m_writer.Start()) {
        m_file.Close();
        return false;
    }
    m_started = true;
    const bool queued = Post(MakeEntry(kLogMarker, kStartMarker, {}, false));
    // A crash, a kill or a power cut: the entries before it are the last ones the log has.
    if (!newest.empty() && newest.find(kEndMarker) == std::string::npos)
        Post(MakeEntry(
            kLogError,
            "前回のセッションは終了の記録なしに終わりました(最後の記録: " + EntryTime(newest) + ")。", {},
            false));
    for (TEntry& entry : deferred) Post(std::move(entry));
    return queued;
}

void CTraceLogger::Shutdown(std::chrono::milliseconds drainBound) {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (m_shutDown)
            return;
        m_shutDown = true;
        if (!m_started)
            return;
    }
    // Entries still queued at the bound are dropped: the writer never runs on into the process's
    // exit. Should a write hang past it, the writer keeps the file and the destructor waits.
    if (!m_writer.Stop(drainBound))
        return;
    // The writer has ended: the file is this thread's now.
    if (const size_t dropped = m_writer.Dropped(); dropped > 0) {
        char text[96];
        std::snprintf(text, sizeof text, "ログ %zu 件を書き込めずに破棄しました。", dropped);
        Write(MakeEntry(kLogError, text, {}, false));
    }
    Write(MakeEntry(kLogMarker, kEndMarker, {}, false));
    m_file.Close();
    std::lock_guard<std::mutex> lock(m_mutex);
    m_started = false;
}

std::string CTraceLogger::Prefix(const TEntry& entry) {
    char buffer[64];
    std::string prefix;
    if (m_config.threadPrefix) {
        std::snprintf(buffer, sizeof buffer, "[%08X] ", entry.threadId);
        prefix += buffer;
    }
    const CSystemTime& t = entry.time;
    if (m_config.time == TLoggerConfig::ETime::Normal || m_config.time == TLoggerConfig::ETime::Full) {
        std::snprintf(buffer, sizeof buffer, "%02d/%02d/%02d-%02d:%02d:%02d.%03d", t.year % 100, t.month,
                      t.day, t.hour, t.minute, t.second, t.millisecond);
        prefix += buffer;
    }
    if (m_config.time == TLoggerConfig::ETime::Full || m_config.time == TLoggerConfig::ETime::Tick) {
        int64_t interval = m_lastTickMs < 0 ? 0 : entry.tickMs - m_lastTickMs;
        std::snprintf(buffer, sizeof buffer, "(%8lld)", static_cast<long long>(interval));
        prefix += buffer;
    }
    m_lastTickMs = entry.tickMs;
    prefix += (entry.type & kLogError) != 0 ? "*Err* " : " ";
    return prefix;
}

void CTraceLogger::Write(const TEntry& entry) {
    if (!entry.binary) {
        m_file.WriteLine(Prefix(entry) + entry.text);
        return;
    }
    if (m_config.dump <= 0)
        return;
    m_file.WriteLine(Prefix(entry) + " Bin(size=" + std::to_string(entry.bytes.size()) + ")");
    size_t count = m_config.dump == 1 ? std::min<size_t>(16, entry.bytes.size()) : entry.bytes.size();
    for (const std::string& line : DumpLines(entry.bytes, count)) m_file.WriteLine(line);
}

CTraceLogger& TraceLogger() {
    static CTraceLogger logger(
        [] {
            CInifileAccessor config(SetupFolder() + "/VekLogger.ini");
            return TLoggerConfig::Read(AccessorSection(&config, "Trace"),
                                       DefineParameterSection().GetInteger("log-size", 1024));
        },
        [] { return LogFilePath(); });
    return logger;
}

}  // namespace VEK
