#pragma once
// The recorder and the simulator as programs of their own over 127.0.0.1, in a fresh test home
// with system number 5: their files, options and output.
#include <gtest/gtest.h>
#include <signal.h>

#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "controller/LoopbackTestHelpers.h"
#include "support/AppProcess.h"
#include "support/TestHome.h"

namespace record_e2e {

using namespace std::chrono_literals;
using testing_support::ReadFile;
using testing_support::WriteFile;

inline std::vector<std::string> Lines(const std::string& text, const std::string& separator) {
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t end; (end = text.find(separator, start)) != std::string::npos; start = end + separator.size())
        lines.push_back(text.substr(start, end - start));
    if (start < text.size())
        lines.push_back(text.substr(start));
    return lines;
}

inline std::vector<std::string> Fields(const std::string& line) {
    std::vector<std::string> fields;
    std::stringstream stream(line);
    for (std::string field; std::getline(stream, field, ',');) fields.push_back(field);
    return fields;
}

class CRecordRunFixture : public ::testing::Test {
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

    // The simulator's options for units 1 to 3 reading 25.0; it confirms a stop unless told not to.
    std::vector<std::string> SimArgs(bool confirmsStop = true) const {
        std::vector<std::string> args{"--host",   "127.0.0.1", "--port",   std::to_string(port),
                                      "--units",  "1-3",       "--sensor", "800",
                                      "--thermo", "0",         "--seed",   "7"};
        if (confirmsStop)
            args.push_back("--auto-stop-notice");
        return args;
    }
    std::unique_ptr<CAppProcess> StartSim(std::vector<std::string> extra = {}, bool confirmsStop = true) {
        std::vector<std::string> args = SimArgs(confirmsStop);
        args.insert(args.end(), {"--auto-info", "--verbose"});
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
};

}  // namespace record_e2e
