#include <gtest/gtest.h>

#include <signal.h>
#include <sys/socket.h>
#include <sys/time.h>

#include <cstdlib>
#include <filesystem>
#include <mutex>
#include <sstream>
#include <thread>

#include "RecordRunFixture.h"
#include "controller/LoopbackTestHelpers.h"
#include "counterpart/OppositeSession.h"
#include "counterpart/SimOptions.h"
#include "link/TestFramePacket.h"  // tests/link
#include "platform/SingleInstance.h"
#include "protocol/CommandCode.h"
#include "support/AppProcess.h"
#include "support/SystemTime.h"
#include "support/TestHome.h"

using namespace std::chrono_literals;
using testing_support::FileExists;
using testing_support::ReadFile;
using testing_support::WriteFile;

namespace {

using record_e2e::CRecordRunFixture;
using record_e2e::Fields;
using record_e2e::Lines;

// Frame bytes of the frames the simulator received ("<-") or sent ("->"), as its trace shows them.
std::vector<std::vector<int>> TraceFrames(const std::string& trace, const std::string& direction) {
    std::vector<std::vector<int>> frames;
    for (const std::string& line : Lines(trace, "\n")) {
        if (line.rfind(direction + " ", 0) != 0)
            continue;
        std::vector<int> bytes;
        std::stringstream stream(line.substr(3));
        for (std::string hex; stream >> hex;) bytes.push_back(std::stoi(hex, nullptr, 16));
        frames.push_back(bytes);
    }
    return frames;
}

std::vector<std::vector<int>> ReceivedFrames(const std::string& trace) {
    return TraceFrames(trace, "<-");
}

using QNL::Code::kModeSetting;
using QNL::Code::kPollingSetting;

class RecordEndToEndTest : public CRecordRunFixture {
protected:
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
    // The scale named as the window names it.
    EXPECT_EQ(lines[5], "TEMP/DIV,10deg C");
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

// Units reading 0.5 mV: an offset file that takes 0.5 mV off channels 1 to 3 brings them back to
// the 25.0 of the cold junction, and the data file marks exactly those channels.
TEST_F(RecordEndToEndTest, OffsetFileCorrectsTheReadings) {
    struct TCase {
        const char* name;
        bool offsets;
        const char* value;
        const char* marks;
    };
    const TCase cases[] = {
        {"without --offsets", false, "37.3", ",,ADJUST OFFSET,,,"},
        {"with --offsets", true, "25.0", ",,ADJUST OFFSET,*,*,*"},
    };
    std::string offsets = "Brisquent Offset Data,1.00\r\nCOMMENT,probe set 4\r\n";
    for (int channel = 1; channel <= 100; ++channel)
        offsets += std::to_string(channel) + (channel <= 3 ? ",Use,5.00000000000e-001\r\n" : ",NoUse,\r\n");
    WriteFile(Path("off.csv"), offsets);
    for (const TCase& c : cases) {
        auto sim = StartSim({"--thermo", "0x10000"});
        std::vector<std::string> args{"--records", "5", "--out", dataFile};
        if (c.offsets)
            args.insert(args.end(), {"--offsets", Path("off.csv")});
        auto recorder = StartRecorder(args);
        EXPECT_EQ(recorder->Wait(60s), 0) << c.name << RecorderOutput();
        StopSim(*sim);
        const std::string text = ReadFile(dataFile);
        const std::vector<std::string> lines = Lines(text, "\r\n");
        ASSERT_GE(lines.size(), 14u) << text;
        EXPECT_EQ(lines[11], c.marks) << c.name;
        const std::vector<std::string> rows = DataRows(text);
        EXPECT_EQ(rows.size(), 5u) << c.name;
        for (const std::string& row : rows) {
            const std::vector<std::string> fields = Fields(row);
            ASSERT_EQ(fields.size(), 6u) << row;
            for (size_t i = 3; i < 6; ++i) EXPECT_EQ(fields[i], c.value) << c.name << ": " << row;
        }
    }
}

TEST_F(RecordEndToEndTest, UnreadableOffsetFileIsRefused) {
    WriteFile(Path("bad.csv"), "Brisquent Offset Data,1.00\r\nCOMMENT,\r\n1,Use,abc\r\n");
    for (const std::string& file : {Path("bad.csv"), Path("missing.csv")}) {
        auto recorder = StartRecorder({"--records", "5", "--offsets", file, "--out", dataFile});
        EXPECT_EQ(recorder->Wait(30s), 2) << RecorderOutput();
        EXPECT_NE(RecorderOutput().find(file + " is not an offset data file that can be read"),
                  std::string::npos)
            << RecorderOutput();
    }
    EXPECT_FALSE(testing_support::FileExists(dataFile));
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
    // No wait for the folder: straight to the fallback, which leaves the working file alone.
    auto recorder = StartRecorder({"--records", "3", "--out", Path("missing/x.csv"), "--save-wait", "0"});
    EXPECT_EQ(recorder->Wait(60s), 1) << RecorderOutput();
    StopSim(*sim);
    EXPECT_NE(RecorderOutput().find("Failed to save data to the file.\n" + Path("missing/x.csv") +
                                    ": No such file or directory\nThe working file "),
              std::string::npos)
        << RecorderOutput();
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
    // Section names are matched without case.
    std::string setup = "[User]\r\nsystem-no=9\r\nsample-intvl=1sec\r\n";
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

// The units' information (with their calibration) is waited for before the start, at most 5 s:
// units 1 to 3 answer late, channel 4 has no unit at all.
TEST_F(RecordEndToEndTest, WaitsForTheUnitsInformationBeforeStarting) {
    WriteLastone("1sec", 4);
    TSimOptions options;
    std::string error;
    ASSERT_TRUE(ParseSimOptions(SimArgs(), options, error)) << error;
    COppositeSession sim(options.seed);
    sim.WithEngine([&](COppositeEngine& engine) { ApplySimOptions(options, engine); });
    sim.SetServer("127.0.0.1", port);
    std::mutex traceLock;
    std::vector<std::string> trace;
    sim.SetTrace([&](const std::string& line) {
        std::lock_guard lock(traceLock);
        trace.push_back(line);
    });
    const auto frames = [&](const char* direction) {
        std::lock_guard lock(traceLock);
        std::string text;
        for (const std::string& line : trace) text += line + "\n";
        return TraceFrames(text, direction);
    };
    ASSERT_TRUE(sim.Start());
    auto recorder = StartRecorder({"--records", "2", "--out", dataFile});
    // Configured and asking for the information: receive mode, then a polling setting.
    ASSERT_TRUE(WaitUntil(
        [&] {
            std::vector<std::vector<int>> in = frames("<-");
            return in.size() >= 4 && in[2][2] == kModeSetting;
        },
        20s));
    std::this_thread::sleep_for(1500ms);
    EXPECT_EQ(RecorderOutput().find("measuring"), std::string::npos) << RecorderOutput();
    sim.SendInformationCycle();
    const size_t informationSent = frames("->").size();
    EXPECT_EQ(recorder->Wait(60s), 0) << RecorderOutput();
    sim.Stop();

    EXPECT_NE(RecorderOutput().find("no unit information (calibration) from channel 4; starting without it"),
              std::string::npos)
        << RecorderOutput();
    EXPECT_NE(RecorderOutput().find("records: 2\n"), std::string::npos) << RecorderOutput();
    // Polling went on only after the information was sent.
    std::vector<std::vector<int>> in = frames("<-");
    std::vector<std::vector<int>> out = frames("->");
    ASSERT_GE(out.size(), informationSent);
    size_t pollingOn = 0;
    for (const std::vector<int>& f : in) pollingOn += f.size() == 33 && f[2] == kPollingSetting && f[5] != 0;
    EXPECT_EQ(pollingOn, 1u);
    // Measurement reports (0x42 with report kind 3) only after the information reports.
    for (size_t i = 0; i < informationSent; ++i)
        EXPECT_FALSE(out[i].size() > 5 && out[i][2] == QNL::Code::kDataReceivedEvent &&
                     out[i][5] == QNL::Code::kMeasurementReport);
}

// Resident memory of a process in KiB; 0 when it cannot be read.
size_t ResidentKiB(pid_t pid) {
    const std::string status = ReadFile("/proc/" + std::to_string(pid) + "/status");
    const size_t at = status.find("VmRSS:");
    return at == std::string::npos ? 0 : std::stoul(status.substr(at + 6));
}

// A local client that floods the development port with information reports of units 1 to 100:
// the recorder's memory stays bounded and comes back down once the client leaves; a normal run
// afterwards records every reading.
TEST_F(RecordEndToEndTest, DevelopmentPortFloodStaysBounded) {
    auto recorder = StartRecorder({"--records", "5", "--out", dataFile});
    int fd = -1;
    ASSERT_TRUE(WaitUntil([&] { return (fd = ConnectLoopback(port)) >= 0; }, 20s));
    const timeval slice{0, 100000};
    setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &slice, sizeof slice);
    std::vector<uint8_t> frames;
    for (int unit = 1; unit <= 100; ++unit) {
        std::vector<uint8_t> data{0, 0, QNL::Code::kInformationReport, static_cast<uint8_t>(unit), 3};
        data.resize(24, '1');
        const std::vector<uint8_t> frame =
            link_test::CTestFramePacket::Frame(QNL::Code::kDataReceivedEvent, data);
        ASSERT_EQ(frame.size(), 29u);
        frames.insert(frames.end(), frame.begin(), frame.end());
    }
    std::this_thread::sleep_for(500ms);
    const size_t before = ResidentKiB(recorder->Pid());
    ASSERT_GT(before, 0u);
    size_t highest = before;
    uint64_t sent = 0;
    const auto end = std::chrono::steady_clock::now() + 10s;
    auto nextLook = std::chrono::steady_clock::now();
    while (std::chrono::steady_clock::now() < end) {
        const ssize_t n = send(fd, frames.data(), frames.size(), MSG_NOSIGNAL);
        sent += n > 0 ? static_cast<uint64_t>(n) : 0;
        if (std::chrono::steady_clock::now() >= nextLook) {
            highest = std::max(highest, ResidentKiB(recorder->Pid()));
            nextLook += 100ms;
        }
    }
    close(fd);
    EXPECT_GT(sent, 1000u * frames.size());
    EXPECT_LT(highest, 64u * 1024) << "KiB; before the flood " << before;
    EXPECT_TRUE(WaitUntil([&] { return ResidentKiB(recorder->Pid()) < before + 8 * 1024; }, 10s))
        << ResidentKiB(recorder->Pid()) << " KiB; before the flood " << before;

    auto sim = StartSim();
    EXPECT_EQ(recorder->Wait(60s), 0) << RecorderOutput();
    StopSim(*sim);
    EXPECT_NE(RecorderOutput().find("records: 5\nchannels: 3\nlost readings: 0\n"), std::string::npos)
        << RecorderOutput();
    ExpectRowsOf25(DataRows(ReadFile(dataFile)));
}

// A quit signal while the dongle never confirms the stop: the application waits at most 10 s,
// sends standby anyway and saves its state.
TEST_F(RecordEndToEndTest, ApplicationQuitsOnSigtermWhenTheStopIsNeverConfirmed) {
    auto sim = StartSim({}, false);
    CAppProcess app(CAppProcess::BinaryPath("hollowmere"), {}, Path("app.txt"));
    // Configured: receive mode with the system number.
    ASSERT_TRUE(WaitUntil(
        [&] {
            for (const std::vector<int>& f : ReceivedFrames(ReadFile(Path("sim.txt"))))
                if (f.size() > 4 && f[2] == kModeSetting && f[3] == 2)
                    return true;
            return false;
        },
        20s));
    std::this_thread::sleep_for(500ms);
    const size_t before = ReceivedFrames(ReadFile(Path("sim.txt"))).size();
    app.Signal(SIGTERM);
    EXPECT_EQ(app.Wait(12s), 0) << ReadFile(Path("app.txt"));
    StopSim(*sim);

    std::vector<std::vector<int>> frames = ReceivedFrames(ReadFile(Path("sim.txt")));
    size_t standby = 0;
    for (size_t i = before; i < frames.size(); ++i)
        standby +=
            frames[i].size() > 4 && frames[i][2] == kModeSetting && frames[i][3] == 0 && frames[i][4] == 5;
    EXPECT_EQ(standby, 1u);
    EXPECT_NE(ReadFile(root + "/Setup/lastone.ini").find("[main-dlg]\r\nValid=1\r\n"), std::string::npos);
    const std::string log = ReadFile(root + "/Log/Hollowmere.log");
    EXPECT_NE(log.find("測定停止処理を強制停止しました。"), std::string::npos);
    EXPECT_NE(log.find("アプリケーションを正常終了しました。"), std::string::npos);
}

}  // namespace
