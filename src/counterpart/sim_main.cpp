// hollowmere-sim: plays the dongle and its units on the application's development TCP port.
#include <signal.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <ctime>
#include <string>
#include <vector>

#include "counterpart/OppositeSession.h"
#include "counterpart/ReplayFile.h"
#include "counterpart/SimOptions.h"

namespace {

void PrintStatus(const COppositeSession::TStatus& status, bool ownLine) {
    std::printf("%s%s%s", ownLine ? "" : "\r\x1b[K", status.Text().c_str(), ownLine ? "\n" : "");
    std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
    TSimOptions options;
    std::string error;
    if (!ParseSimOptions(std::vector<std::string>(argv + 1, argv + argc), options, error)) {
        std::fprintf(stderr, "hollowmere-sim: %s\nTry --help.\n", error.c_str());
        return 2;
    }
    if (options.help) {
        std::fputs(SimUsage().c_str(), stdout);
        return 0;
    }
    if (!options.seedGiven)
        options.seed = static_cast<uint32_t>(std::chrono::steady_clock::now().time_since_epoch().count());

    // Interrupts are taken by the main thread only; the session's threads inherit the mask.
    sigset_t interrupts;
    sigemptyset(&interrupts);
    sigaddset(&interrupts, SIGINT);
    sigaddset(&interrupts, SIGTERM);
    sigaddset(&interrupts, SIGHUP);
    pthread_sigmask(SIG_BLOCK, &interrupts, nullptr);

    COppositeSession session(options.seed);
    session.WithEngine([&](COppositeEngine& engine) { ApplySimOptions(options, engine); });
    session.SetServer(options.host, options.port);
    session.SetLinkFaults(options.link);
    if (options.verbose) {
        session.SetTrace([](const std::string& line) { std::fprintf(stderr, "%s\n", line.c_str()); });
    }
    if (!options.replayFile.empty()) {
        std::shared_ptr<CMeasurementDataManager> data = ReadReplayFile(options.replayFile);
        if (data == nullptr ||
            !session.WithEngine([&](COppositeEngine& engine) { return engine.SetReplay(data); })) {
            std::fprintf(stderr, "hollowmere-sim: %s: %s\n", options.replayFile.c_str(),
                         data == nullptr ? "not a readable data file" : "no records to replay");
            return 1;
        }
    }
    if (!session.Start()) {
        std::fprintf(stderr, "hollowmere-sim: cannot reach %s port %u\n", options.host.c_str(), options.port);
        return 1;
    }

    const bool terminal = isatty(STDOUT_FILENO) != 0;
    const timespec second{1, 0};
    while (sigtimedwait(&interrupts, nullptr, &second) < 0) {
        if (terminal)
            PrintStatus(session.Status(), options.verbose);
    }
    session.Stop();
    if (terminal && !options.verbose)
        std::printf("\n");
    return 0;
}
