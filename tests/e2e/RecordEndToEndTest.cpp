#include <gtest/gtest.h>

#include <signal.h>

#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <thread>

#include "AppProcess.h"
#include "LoopbackTestHelpers.h"
#include "platform/SingleInstance.h"
#include "protocol/CommandCode.h"
#include "support/SystemTime.h"
#include "support/TestHome.h"

using namespace std::chrono_literals;
using testing_support::FileExists;
using testing_support::ReadFile;
using testing_support::WriteFile;

namespace {

std::vector<std::string> Lines(const std::string& text, const std::string& separator) {
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t end; (end = text.find(separator, start)) != std::string::npos; start = end + separator.size())
        lines.push_back(text.substr(start, end - start));
    if (start < text.size())
        lines.push_back(text.substr(start));
    return lines;
}

std::vector<std::string> Fields(const std::string& line) {
    std::vector<std::string> fields;
    std::stringstream stream(line);
    for (std::string field; std::getline(stream, field, ',');) fields.push_back(field);
    return fields;
}

// Frame bytes of the frames the simulator received, as its --verbose trace shows them.
std::vector<std::vector<int>> ReceivedFrames(const std::string& trace) {
    std::vector<std::vector<int>> frames;
    for (const std::string& line : Lines(trace, "\n")) {
        if (line.rfind("<- ", 0) != 0)
            continue;
        std::vector<int> bytes;
        std::stringstream stream(line.substr(3));
        for (std::string hex; stream >> hex;) bytes.push_back(std::stoi(hex, nullptr, 16));
        frames.push_back(bytes);
    }
    return frames;
}

using QNL::Code::kModeSetting;
using QNL::Code::kPollingSetting;

class RecordEndToEndTest : public ::testing::Test {
protected:
    std::string root;
    std::string dataFile;
    uint16_t port = 0;

    void SetUp() override {
        testing_support::ResetTestHome();
        root = testing_support::TestHome() + "/Documents/Quillmark/Brisquent";
        dataFile = testing_support::TestHome() + "/x.csv";
        port = FreeLoopbackPort();
        WriteDefine("");
        WriteLastone("1sec", 3);
    }
    // The sampling rate, and channels 1 to `channels` in use.
    void WriteLastone(const std::string& rate, int channels) {
        std::string lastone = "[user]\r\nsystem-no=5\r\nsample-intvl=" + rate + "\r\n";
        for (int channel = 1; channel <= 100; ++channel)
            lastone += "chpt" + std::to_string(channel) +
                       (channel <= channels ? "=ON,K,\"\"\r\n" : "=OFF,K,\"\"\r\n");
        WriteFile(root + "/Setup/lastone.ini", lastone);
    }
    void WriteDefine(const std::string& extra) {
        WriteFile(root + "/Setup/define.ini",
                  "[parameter]\r\nhid-vid=tcp\r\nhid-pid=" + std::to_string(port) + "\r\n" + extra);
    }
    std::string Path(const std::string& name) const { return testing_support::TestHome() + "/" + name; }

    std::unique_ptr<CAppProcess> StartSim(std::vector<std::string> extra = {}) {
        std::vector<std::string> args{
            "--host", "127.0.0.1", "--port",      std::to_string(port), "--units",
            "1-3",    "--sensor",  "800",         "--thermo",           "0",
            "--seed", "7",         "--auto-info", "--auto-stop-notice", "--verbose"};
        args.insert(args.end(), extra.begin(), extra.end());
        return std::make_unique<CAppProcess>(CAppProcess::BinaryPath("hollowmere-sim"), args,
                                             Path("sim.txt"));
    }
    std::unique_ptr<CAppProcess> StartRecorder(std::vector<std::string> args) {
        return std::make_unique<CAppProcess>(CAppProcess::BinaryPath("hollowmere-record"), args,
                                             Path("record.txt"));
    }
    static void StopSim(CAppProcess& sim) {
        sim.Signal(SIGTERM);
        sim.Wait(10s);
    }
    std::string RecorderOutput() const { return ReadFile(Path("record.txt")); }

    // Header and data rows of a data or working file.
    static std::vector<std::string> DataRows(const std::string& text) {
        std::vector<std::string> lines = Lines(text, "\r\n");
        return lines.size() > 14 ? std::vector<std::string>(lines.begin() + 14, lines.end())
                                 : std::vector<std::string>{};
    }
    // Every row holds 25.0 on channels 1 to 3 and nothing else.
    static void ExpectRowsOf25(const std::vector<std::string>& rows) {
        for (size_t i = 0; i < rows.size(); ++i) {
            std::vector<std::string> fields = Fields(rows[i]);
            ASSERT_EQ(fields.size(), 6u) << rows[i];
            EXPECT_EQ(fields[0], std::to_string(i + 1));
            EXPECT_EQ(fields[3], "25.0") << rows[i];
            EXPECT_EQ(fields[4], "25.0") << rows[i];
            EXPECT_EQ(fields[5], "25.0") << rows[i];
        }
    }
    // Polling on at 1 s for units 1 to 3 only, later polling off with no unit in use.
    void ExpectPollingOnThenOff() const {
        std::vector<std::vector<int>> frames = ReceivedFrames(ReadFile(Path("sim.txt")));
        int on = -1;
        int off = -1;
        for (size_t i = 0; i < frames.size(); ++i) {
            const std::vector<int>& f = frames[i];
            // STX, LEN, command, two bytes of the short-data header, the rate code, 25 bytes of unit
            // codes (unit 1 in the top bits), SUM, ETX.
            if (f.size() != 33 || f[2] != kPollingSetting)
                continue;
            bool othersInUse = false;
            for (int b = 7; b < 31; ++b) othersInUse = othersInUse || (f[b] & 0x55) != 0;
            const int first4 = f[6] & 0x55;
            if (f[5] == 4 && first4 == 0x54 && !othersInUse && on < 0)
                on = static_cast<int>(i);
            else if (f[5] == 0 && first4 == 0 && !othersInUse && on >= 0)
                off = static_cast<int>(i);
        }
        EXPECT_GE(on, 0) << "no polling on at 1 s for units 1..3";
        EXPECT_GT(off, on) << "no polling off after the run";
    }
    void ExpectKeepAwakeTakenAndReleased() const {
        const std::string output = RecorderOutput();
        const size_t taken = output.find("keep-awake requested");
        ASSERT_NE(taken, std::string::npos) << output;
        EXPECT_NE(output.find("keep-awake released", taken), std::string::npos) << output;
    }
    // Twenty channels at 100 ms against the simulator with every fault of the link at once: exactly
    // the records asked for are saved, each reading at 25 degC give or take the jitter, none Lost
    // and no sample dropped for want of a place.
    void RecordThroughLinkFaults(uint32_t records, std::chrono::seconds limit) {
        WriteLastone("100msec", 20);
        CAppProcess sim(CAppProcess::BinaryPath("hollowmere-sim"),
                        {"--host", "127.0.0.1", "--port", std::to_string(port), "--units", "1-20", "--sensor",
                         "800", "--seed", "7", "--jitter", "40", "--failure-rate", "10", "--split", "7",
                         "--duplicate-reports", "--auto-info", "--auto-stop-notice"},
                        Path("sim.txt"));
        auto recorder = StartRecorder({"--records", std::to_string(records), "--out", dataFile});
        EXPECT_EQ(recorder->Wait(limit), 0) << RecorderOutput();
        StopSim(sim);
        const std::string summary =
            "records: " + std::to_string(records) + "\nchannels: 20\nlost readings: 0\ndropped samples: 0\n";
        EXPECT_NE(RecorderOutput().find(summary), std::string::npos) << RecorderOutput();
        const std::vector<std::string> rows = DataRows(ReadFile(dataFile));
        ASSERT_EQ(rows.size(), records);
        for (const std::string& row : rows) {
            const std::vector<std::string> fields = Fields(row);
            ASSERT_EQ(fields.size(), 23u) << row;
            for (size_t i = 3; i < fields.size(); ++i) {
                // Jitter of 40/32 degC around 25.0.
                const double value = std::atof(fields[i].c_str());
                ASSERT_TRUE(value >= 23.7 && value <= 26.3) << row;
            }
        }
    }
    bool WorkFolderEmpty() const {
        const std::string work = root + "/Data/work";
        return !std::filesystem::exists(work) || std::filesystem::is_empty(work);
    }
};

TEST_F(RecordEndToEndTest, FiveRecordsFromTheSimulator) {
    auto sim = StartSim();
    auto recorder = StartRecorder({"--records", "5", "--out", dataFile});
    EXPECT_EQ(recorder->Wait(60s), 0) << RecorderOutput();
    StopSim(*sim);

    const std::string text = ReadFile(dataFile);
    std::vector<std::string> lines = Lines(text, "\r\n");
    ASSERT_GE(lines.size(), 14u) << text;
    EXPECT_EQ(lines[0], "Brisquent,1.01");
    EXPECT_EQ(lines[1], "SYSTEM NUMBER,5");
    EXPECT_EQ(lines[2], "SAMPLING RATE,1sec");
    EXPECT_EQ(lines[6], "DATA COUNT,5");
    EXPECT_EQ(lines[12], "No.,DATE  TIME,msec,CH1,CH2,CH3");
    std::vector<std::string> rows = DataRows(text);
    EXPECT_EQ(rows.size(), 5u);
    ExpectRowsOf25(rows);
    EXPECT_NE(RecorderOutput().find("records: 5\nchannels: 3\nlost readings: 0\n"), std::string::npos)
        << RecorderOutput();
    ExpectPollingOnThenOff();
    ExpectKeepAwakeTakenAndReleased();
    // Saved: the working file has served its purpose.
    EXPECT_TRUE(WorkFolderEmpty());
    // The dongle went back to standby at the end.
    std::vector<std::vector<int>> frames = ReceivedFrames(ReadFile(Path("sim.txt")));
    ASSERT_FALSE(frames.empty());
    EXPECT_EQ(frames.back()[2], kModeSetting);
}

// One row per way a headless run ends.
struct TStopCase {
    const char* name;
    std::string defineExtra;
    std::vector<std::string> simArgs;
    std::vector<std::string> recorderArgs;  // besides --out
    bool sigterm;
    int exitCode;
    size_t minRows;
    size_t maxRows;
    const char* message;  // expected in the recorder's output; empty: none
};

void PrintTo(const TStopCase& c, std::ostream* out) {
    *out << c.name;
}

class RecordStopCauseTest : public RecordEndToEndTest, public ::testing::WithParamInterface<TStopCase> {};

TEST_P(RecordStopCauseTest, SavesWhatWasMeasured) {
    const TStopCase& c = GetParam();
    WriteDefine(c.defineExtra);
    std::vector<std::string> args = c.recorderArgs;
    for (std::string& arg : args) {
        if (arg == "STOP-AT")
            arg = VEK::CSystemTime::Now().AddMilliseconds(8000).Format("%Y/%m/%d %H:%M:%S");
    }
    args.insert(args.end(), {"--out", dataFile});
    auto sim = StartSim(c.simArgs);
    auto recorder = StartRecorder(args);
    if (c.sigterm) {
        ASSERT_TRUE(WaitUntil([&] { return RecorderOutput().find("measuring") != std::string::npos; }, 30s));
        std::this_thread::sleep_for(3500ms);
        recorder->Signal(SIGTERM);
    }
    EXPECT_EQ(recorder->Wait(60s), c.exitCode) << RecorderOutput();
    StopSim(*sim);

    std::vector<std::string> rows = DataRows(ReadFile(dataFile));
    EXPECT_GE(rows.size(), c.minRows);
    EXPECT_LE(rows.size(), c.maxRows);
    ExpectRowsOf25(rows);
    if (*c.message) {
        EXPECT_NE(RecorderOutput().find(c.message), std::string::npos) << RecorderOutput();
    }
    ExpectKeepAwakeTakenAndReleased();
    // Polling on at the run's start; off again at its end unless the link was gone.
    if (c.exitCode == 0)
        ExpectPollingOnThenOff();
    EXPECT_TRUE(WorkFolderEmpty());
}

INSTANTIATE_TEST_SUITE_P(
    Causes, RecordStopCauseTest,
    ::testing::Values(
        TStopCase{"StopTime", "", {}, {"--stop-at", "STOP-AT"}, false, 0, 2, 8, ""},
        // The limit counts sampling periods; the last period's reports may not be in yet.
        TStopCase{"RecordLimit",
                  "rec-max=4\r\n",
                  {},
                  {},
                  false,
                  0,
                  3,
                  5,
                  "Stopped measurement because the number of measurement data exceeded the maximum value "
                  "(0xFFFFFFFF)."},
        TStopCase{"Sigterm", "", {}, {}, true, 0, 2, 5, ""},
        TStopCase{"DeviceError",
                  "",
                  {"--drop-after", "3"},
                  {},
                  false,
                  1,
                  2,
                  4,
                  "Stopped measurement because DEVICE ERROR occurred."}),
    [](const ::testing::TestParamInfo<TStopCase>& info) { return std::string(info.param.name); });

TEST_F(RecordEndToEndTest, LinkFaultsAtTheFastestRateLoseNothing) {
    RecordThroughLinkFaults(150, 60s);
}

// Ten minutes of it: the units' numbering passes 255 -> 0 some twenty times. Labelled "long".
TEST_F(RecordEndToEndTest, TenMinutesOfLinkFaultsLoseNothing) {
    RecordThroughLinkFaults(6000, 780s);
}

TEST_F(RecordEndToEndTest, FailedSaveKeepsTheWorkingFile) {
    auto sim = StartSim();
    auto recorder = StartRecorder({"--records", "3", "--out", Path("missing/x.csv")});
    EXPECT_EQ(recorder->Wait(60s), 1) << RecorderOutput();
    StopSim(*sim);
    EXPECT_NE(RecorderOutput().find("Failed to save data to the file."), std::string::npos);
    std::vector<std::filesystem::path> working;
    for (const auto& entry : std::filesystem::directory_iterator(root + "/Data/work"))
        working.push_back(entry.path());
    ASSERT_EQ(working.size(), 1u);
    const std::string text = ReadFile(working.front().string());
    EXPECT_EQ(Lines(text, "\r\n").front(), "Brisquent-Working,1.01");
    // Every record of the run; a period counted after the last reports may follow as Lost.
    std::vector<std::string> rows = DataRows(text);
    ASSERT_GE(rows.size(), 3u);
    rows.resize(3);
    ExpectRowsOf25(rows);
}

TEST_F(RecordEndToEndTest, SetupFileGivesTheChannelsButNotTheSystemNumber) {
    std::string setup = "[user]\r\nsystem-no=9\r\nsample-intvl=1sec\r\n";
    for (int channel = 1; channel <= 100; ++channel)
        setup += "chpt" + std::to_string(channel) + (channel <= 2 ? "=ON,K,\"\"\r\n" : "=OFF,K,\"\"\r\n");
    WriteFile(Path("two.set"), setup);
    auto sim = StartSim();
    auto recorder = StartRecorder({"--setup", Path("two.set"), "--records", "2", "--out", dataFile});
    EXPECT_EQ(recorder->Wait(60s), 0) << RecorderOutput();
    StopSim(*sim);
    std::vector<std::string> lines = Lines(ReadFile(dataFile), "\r\n");
    ASSERT_GE(lines.size(), 16u);
    EXPECT_EQ(lines[1], "SYSTEM NUMBER,5");
    EXPECT_EQ(lines[12], "No.,DATE  TIME,msec,CH1,CH2");
    EXPECT_EQ(lines.size(), 16u);
}

TEST_F(RecordEndToEndTest, OneOwnerOfTheDongle) {
    {
        VEK::CSingleInstance application("ZentriApp.20140922", {"hollowmere", "hollowmere-record"});
        ASSERT_TRUE(application.Acquire("hollowmere"));
        auto recorder = StartRecorder({"--records", "1", "--out", dataFile});
        EXPECT_EQ(recorder->Wait(20s), 3);
        EXPECT_NE(RecorderOutput().find("in use by the application"), std::string::npos) << RecorderOutput();
    }
    // The application started during a recording says who holds the dongle and ends.
    auto recorder = StartRecorder({"--records", "100", "--out", dataFile});
    ASSERT_TRUE(
        WaitUntil([&] { return RecorderOutput().find("waiting for the dongle") != std::string::npos; }, 20s));
    CAppProcess app(CAppProcess::BinaryPath("hollowmere"), {}, Path("app.txt"));
    EXPECT_TRUE(WaitUntil(
        [&] { return ReadFile(Path("app.txt")).find("hollowmere-record") != std::string::npos; }, 20s))
        << ReadFile(Path("app.txt"));
    // Nobody is there to close the box that says so: a quit signal does, as at a logout.
    app.Signal(SIGTERM);
    EXPECT_EQ(app.Wait(20s), 0);
    recorder->Signal(SIGTERM);
    EXPECT_EQ(recorder->Wait(20s), 1);
}

}  // namespace
