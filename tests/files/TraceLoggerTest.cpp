#include <gtest/gtest.h>

#include <sys/stat.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <future>
#include <regex>
#include <thread>

#include "files/AsyncWriter.h"
#include "files/InifileAccessor.h"
#include "files/LogRingFile.h"
#include "files/TraceLogger.h"
#include "support/TestHome.h"

using namespace VEK;
using testing_support::ReadFile;
using testing_support::WriteFile;

namespace {

class TraceLoggerTest : public ::testing::Test {
protected:
    std::string logPath = testing_support::TestHome() + "/log/t.log";
    void SetUp() override {
        testing_support::WriteFile(logPath, "");
        std::remove(logPath.c_str());
    }
    // A logger over the given configuration, shut down (all entries written) by the caller.
    std::unique_ptr<CTraceLogger> Make(TLoggerConfig config) {
        return std::make_unique<CTraceLogger>([config] { return config; }, [this] { return logPath; });
    }
    static TLoggerConfig Plain() {
        TLoggerConfig c;
        c.time = TLoggerConfig::ETime::Off;
        c.threadPrefix = false;
        return c;
    }
};

}  // namespace

TEST_F(TraceLoggerTest, FreshFileHeaderEntriesAndMarkers) {
    auto logger = Make(Plain());
    EXPECT_TRUE(logger->Trace("測定を開始しました(周期=%s)。", "1sec"));
    EXPECT_FALSE(logger->Entry(kLogPolling, "not enabled"));
    EXPECT_TRUE(logger->Entry(kLogError, "bad"));
    logger->Shutdown();
    EXPECT_FALSE(logger->Trace("after shutdown"));
    std::string body =
        " ----------<<起動>>----------\r\n 測定を開始しました(周期=1sec)。\r\n*Err* bad\r\n"
        " ----------<<終了>>----------\r\n";
    char header[16];
    std::snprintf(header, sizeof header, "%012zu\r\n", 14 + body.size());
    EXPECT_EQ(ReadFile(logPath), header + body + "@@\r\n");
}

TEST_F(TraceLoggerTest, RingWrapsAtItsSize) {
    TLoggerConfig config = Plain();
    config.ringBytes = 1024;
    auto logger = Make(config);
    for (int i = 0; i < 60; ++i) logger->Trace("entry %02d %s", i, std::string(20, 'x').c_str());
    logger->Shutdown();
    std::string text = ReadFile(logPath);
    EXPECT_LE(text.size(), 1024u + 40);
    size_t position = std::stoul(text.substr(0, 12));
    EXPECT_EQ(text.substr(position, 4), "@@\r\n");  // the header points at the marker
    EXPECT_NE(text.find("entry 59"), std::string::npos);
    EXPECT_EQ(text.find("entry 00"), std::string::npos);
}

TEST_F(TraceLoggerTest, DamagedHeaderNeverLetsEntriesOverwriteIt) {
    for (const char* header : {"garbage\r\n", "000000000003\r\n", "999999999999\r\n"}) {
        WriteFile(logPath, std::string(header) + std::string(100, '.'));
        auto logger = Make(Plain());
        logger->Trace("x");
        logger->Shutdown();
        std::string text = ReadFile(logPath);
        EXPECT_TRUE(std::regex_match(text.substr(0, 14), std::regex("[0-9]{12}\r\n"))) << header;
        std::string marker = " ----------<<起動>>----------\r\n";
        EXPECT_EQ(text.substr(14, marker.size()), marker) << header;
    }
}

TEST_F(TraceLoggerTest, TimeThreadAndBinaryForms) {
    TLoggerConfig config;
    config.time = TLoggerConfig::ETime::Full;
    config.dump = 2;
    auto logger = Make(config);
    std::vector<uint8_t> bytes(20);
    for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<uint8_t>(0x2E + i);
    bytes[0] = 0x02;
    logger->Binary(kLogTrace, bytes.data(), bytes.size());
    logger->Shutdown();
    std::string text = ReadFile(logPath);
    EXPECT_TRUE(std::regex_search(
        text, std::regex(R"(\[[0-9A-F]{8}\] \d\d/\d\d/\d\d-\d\d:\d\d:\d\d\.\d{3}\(       0\) -{10}<<起動)")));
    EXPECT_NE(
        text.find(
            " Bin(size=20)\r\n0000 : 02 2F 30 31 32 33 34 35 36 37 38 39 3A 3B 3C 3D  : ./0123456789:;<=\r\n"
            "0010 : 3E 3F 40 41 -- -- -- -- -- -- -- -- -- -- -- --  : >?@A\r\n"),
        std::string::npos)
        << text;
}

TEST(LoggerConfig, ReadsTypesAndSwitches) {
    std::string path = testing_support::TestHome() + "/cfg/VekLogger.ini";
    struct {
        const char* ini;
        bool enabled;
        uint32_t types;
        uint32_t ring;
        TLoggerConfig::ETime time;
        bool thread;
    } cases[] = {
        {"", true, 7, 1024 * 1024, TLoggerConfig::ETime::Normal, true},
        {"Types=err\r\nLogSize=0\r\n", true, 3, 1024, TLoggerConfig::ETime::Normal, true},
        {"Types=poll\r\nTime=tick\r\nThread=OFF\r\n", true, 15, 1024 * 1024, TLoggerConfig::ETime::Tick,
         true},
        {"Types=trace,off\r\nTime=full\r\nThread=off\r\n", false, 7, 1024 * 1024, TLoggerConfig::ETime::Full,
         false},
        {"Types=\r\nTime=weird\r\nLogSize=2\r\n", true, 7, 2048, TLoggerConfig::ETime::Normal, true},
    };
    for (const auto& c : cases) {
        WriteFile(path, std::string("[Trace]\r\n") + c.ini);
        CInifileAccessor accessor(path);
        TLoggerConfig config = TLoggerConfig::Read(AccessorSection(&accessor, "Trace"), 1024);
        EXPECT_EQ(config.enabled, c.enabled) << c.ini;
        EXPECT_EQ(config.types, c.types) << c.ini;
        EXPECT_EQ(config.ringBytes, c.ring) << c.ini;
        EXPECT_EQ(config.time, c.time) << c.ini;
        EXPECT_EQ(config.threadPrefix, c.thread) << c.ini;
    }
}

// LogSize (kilobytes) against define.ini "log-size": the ring's byte size never wraps to 0.
TEST(LoggerConfig, LogSizeTable) {
    std::string path = testing_support::TestHome() + "/cfg/VekLogger.ini";
    struct {
        const char* logSize;  // nullptr: absent
        int32_t defineLogSize;
        uint32_t ringBytes;
    } cases[] = {
        {nullptr, 1024, 1024u * 1024},
        {nullptr, 16, 16u * 1024},
        {"0", 1024, 1024},
        {"1", 1024, 1024},
        {"4194303", 1024, 4194303u * 1024},
        {"4194304", 1024, 4194303u * 1024},
        {"2147483647", 1024, 4194303u * 1024},
        {"-1", 1024, 1024u * 1024},
        {"-1", 8, 8u * 1024},
        {"-2147483648", 1024, 1024u * 1024},
        {"4294967295", 16, 16u * 1024},  // read as -1
        {nullptr, -5, 1024u * 1024},
        {nullptr, 4194304, 4194303u * 1024},
    };
    for (const auto& c : cases) {
        WriteFile(path, c.logSize ? std::string("[Trace]\r\nLogSize=") + c.logSize + "\r\n" : "");
        CInifileAccessor accessor(path);
        TLoggerConfig config = TLoggerConfig::Read(AccessorSection(&accessor, "Trace"), c.defineLogSize);
        EXPECT_EQ(config.ringBytes, c.ringBytes)
            << (c.logSize ? c.logSize : "absent") << " / " << c.defineLogSize;
    }
}

// At exit the writer drains within its bound and drops the rest: counted in a last entry, and no
// entry is written after Shutdown has returned.
TEST_F(TraceLoggerTest, ShutdownDropsWhatTheBoundLeavesAndCountsIt) {
    auto logger = Make(Plain());
    constexpr int kEntries = 50000;
    for (int i = 0; i < kEntries; ++i) ASSERT_TRUE(logger->Trace("entry %05d", i));
    logger->Shutdown(std::chrono::milliseconds(0));
    const std::string text = ReadFile(logPath);
    std::smatch match;
    ASSERT_TRUE(std::regex_search(text, match,
                                  std::regex("\\*Err\\* ログ (\\d+) 件を書き込めずに破棄しました。\r\n"
                                             " ----------<<終了>>----------\r\n@@\r\n$")))
        << text.substr(text.size() > 300 ? text.size() - 300 : 0);
    const int dropped = std::stoi(match[1]);
    int written = 0;
    for (size_t at = text.find(" entry "); at != std::string::npos; at = text.find(" entry ", at + 1))
        ++written;
    EXPECT_GT(dropped, 0);
    EXPECT_EQ(written + dropped, kEntries);
    EXPECT_FALSE(logger->Trace("after shutdown"));
    EXPECT_EQ(ReadFile(logPath), text);
}

// A job still running at the drain bound is waited for; what is queued behind it is dropped and
// never runs after Stop has returned.
TEST(AsyncWriter, StopWaitsForTheRunningJobAndDropsTheRest) {
    CAsyncWriter writer;
    ASSERT_TRUE(writer.Start());
    std::promise<void> entered;
    std::atomic<bool> release{false};
    std::atomic<int> ran{0};
    ASSERT_TRUE(writer.Post([&] {
        entered.set_value();
        while (!release) std::this_thread::sleep_for(std::chrono::milliseconds(1));
        ++ran;
    }));
    for (int i = 0; i < 5; ++i) ASSERT_TRUE(writer.Post([&] { ++ran; }));
    entered.get_future().wait();
    std::thread releaser([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        release = true;
    });
    EXPECT_TRUE(writer.Stop(std::chrono::milliseconds(10)));
    EXPECT_EQ(ran.load(), 1);
    EXPECT_EQ(writer.Dropped(), 5u);
    EXPECT_FALSE(writer.IsRunning());
    EXPECT_FALSE(writer.Post([&] { ++ran; }));
    releaser.join();
}

// The configuration source may itself log (a settings file it cannot read): that entry follows
// the start marker instead of deadlocking the starting thread.
TEST_F(TraceLoggerTest, EntriesMadeWhileStartingFollowTheStartMarker) {
    CTraceLogger* self = nullptr;
    auto logger = std::make_unique<CTraceLogger>(
        [&self] {
            self->Trace("設定ファイルを読み込めません。");
            return Plain();
        },
        [this] { return logPath; });
    self = logger.get();
    EXPECT_TRUE(logger->Trace("first"));
    logger->Shutdown();
    EXPECT_NE(ReadFile(logPath).find(
                  " ----------<<起動>>----------\r\n 設定ファイルを読み込めません。\r\n first\r\n"),
              std::string::npos)
        << ReadFile(logPath);
}

TEST_F(TraceLoggerTest, ALogFileRemovedWhileOpenIsCreatedAgain) {
    auto logger = Make(Plain());
    logger->Trace("before");
    // Entries are written by the logger's thread: wait until the first one is on disk.
    for (int i = 0; i < 200 && ReadFile(logPath).find("before") == std::string::npos; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    std::filesystem::remove_all(std::filesystem::path(logPath).parent_path());  // the folder too
    logger->Trace("after");
    logger->Shutdown();
    std::string text = ReadFile(logPath);
    EXPECT_TRUE(std::regex_match(text.substr(0, 14), std::regex("[0-9]{12}\r\n")));
    EXPECT_NE(text.find(" after\r\n"), std::string::npos);
    EXPECT_EQ(text.find("before"), std::string::npos);
}

// One that could not be made again (its folder could not be made just then) is tried again with
// the next line: the log does not fall silent for the rest of the run.
TEST_F(TraceLoggerTest, ALogFileThatCouldNotBeMadeAgainIsTriedWithTheNextLine) {
    const std::string folder = std::filesystem::path(logPath).parent_path();
    CLogRingFile ring;
    ASSERT_TRUE(ring.Open(logPath, 4096));
    ASSERT_TRUE(ring.WriteLine("before"));
    std::filesystem::remove_all(folder);
    WriteFile(folder, "");  // a file where the folder belongs: neither can be made
    EXPECT_FALSE(ring.WriteLine("lost"));
    std::filesystem::remove(folder);
    EXPECT_TRUE(ring.WriteLine("after"));
    EXPECT_NE(ReadFile(logPath).find("after\r\n@@\r\n"), std::string::npos);
}

// The log is never written through a link or into a FIFO placed where it belongs.
TEST_F(TraceLoggerTest, LogOpensOnlyARegularFileOfItsOwn) {
    const std::string victim = testing_support::TestHome() + "/victim.txt";
    const struct {
        const char* name;
        std::function<void()> place;
    } cases[] = {
        {"link to another file", [&] { std::filesystem::create_symlink(victim, logPath); }},
        {"FIFO", [&] { mkfifo(logPath.c_str(), 0600); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        WriteFile(victim, "precious");
        std::filesystem::remove(logPath);
        c.place();
        auto logger = Make(Plain());
        EXPECT_FALSE(logger->Trace("entry"));
        logger->Shutdown();
        EXPECT_EQ(ReadFile(victim), "precious");
        std::filesystem::remove(logPath);
    }
}

// A session that ended without its end marker (killed, crashed, the power gone) is named by the
// next one, with the time of its last entry; one that closed is not, nor is a fresh log.
TEST_F(TraceLoggerTest, SessionThatEndedWithoutClosingIsNamedAtTheNextStart) {
    const std::string unclosed = "前回のセッションは終了の記録なしに終わりました(最後の記録: ";
    const std::string lastEntry = "[0000ABCD] 24/05/06-07:08:09.123  測定を開始しました(周期=1sec)。";
    const std::string entries = " ----------<<起動>>----------\r\n" + lastEntry + "\r\n";
    char header[16];
    std::snprintf(header, sizeof header, "%012zu\r\n", 14 + entries.size());
    const struct {
        const char* name;
        std::string file;  // empty: none
        bool named;
    } cases[] = {
        {"fresh", "", false},
        {"killed", header + entries + "@@\r\n", true},
        // Wrapped: the newest entry ends the file, the header points back at the first entry.
        {"killed after a wrap", "000000000014\r\n" + entries + "@@\r\n", true},
        {"closed", "", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        if (std::string(c.name) != "closed") {
            std::remove(logPath.c_str());
            if (!c.file.empty())
                WriteFile(logPath, c.file);
        }
        auto logger = Make(Plain());
        logger->Trace("next");
        logger->Shutdown();
        // This session's entries: from its start marker, the last one in the file.
        const std::string file = ReadFile(logPath);
        const std::string text = file.substr(file.rfind(" ----------<<起動>>----------\r\n"));
        const size_t at = text.find(unclosed);
        EXPECT_EQ(at != std::string::npos, c.named) << file;
        if (c.named) {
            EXPECT_EQ(text.substr(at + unclosed.size(), 25), "24/05/06-07:08:09.123)。");
            // Right after the start marker, as an error entry.
            EXPECT_EQ(text.find(" ----------<<起動>>----------\r\n*Err* " + unclosed), 0u) << text;
        }
    }
}
