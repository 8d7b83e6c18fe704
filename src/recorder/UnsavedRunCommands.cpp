#include "recorder/UnsavedRunCommands.h"

#include <chrono>
#include <cstdio>
#include <thread>

#include "files/Settings.h"
#include "files/UnsavedRun.h"
#include "platform/FileLock.h"
#include "recorder/RecordSummary.h"

namespace {

int64_t NowMs() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::system_clock::now().time_since_epoch())
        .count();
}

// Nobody holds the file, and it stood still over its growth window (waited for here when it
// changed lately).
bool HasStoppedGrowing(const VEK::TUnsavedRun& run) {
    if (VEK::CFileLock::IsLockedElsewhere(run.path))
        return false;
    if (!VEK::IsOwnedOrGrowing(run))
        return true;
    const int64_t wait = run.modifiedMs + VEK::GrowthWindowMs(run) - NowMs();
    if (wait > 0) {
        std::fprintf(stderr,
                     "hollowmere-record: %s changed moments ago; waiting %lld s to see it stand still\n",
                     run.path.c_str(), static_cast<long long>((wait + 999) / 1000));
        std::this_thread::sleep_for(std::chrono::milliseconds(wait));
    }
    const std::optional<VEK::TUnsavedRun> again = VEK::DescribeUnsavedRun(run.path);
    return again && again->size == run.size && again->modifiedMs == run.modifiedMs &&
           !VEK::IsOwnedOrGrowing(*again);
}

}  // namespace

void PrintUnsavedRunsWaiting() {
    const std::vector<VEK::TUnsavedRun> runs = VEK::FindUnsavedRuns(VEK::WorkFolder());
    if (runs.empty())
        return;
    std::fprintf(stderr,
                 "hollowmere-record: %zu unsaved run%s waiting in %s/ (newest %s); "
                 "hollowmere-record --recover FILE --out OUT.csv saves one\n",
                 runs.size(), runs.size() == 1 ? " is" : "s are", VEK::WorkFolder().c_str(),
                 runs.front().path.substr(runs.front().path.find_last_of('/') + 1).c_str());
}

int RecoverUnsavedRunCommand(const TRecordOptions& options) {
    const std::string& path = options.recoverFile;
    const std::optional<VEK::TUnsavedRun> run = VEK::DescribeUnsavedRun(path);
    if (!run) {
        std::fprintf(stderr, "hollowmere-record: %s is not a file that can be read\n", path.c_str());
        return 1;
    }
    if (!HasStoppedGrowing(*run)) {
        const std::string holder = VEK::CFileLock::HolderOf(path);
        std::fprintf(stderr, "hollowmere-record: %s is still written by a running measurement%s\n",
                     path.c_str(), holder.empty() ? "" : (" (" + holder + ")").c_str());
        return 3;
    }
    CMeasurementDataManager store;
    std::string problem;
    const VEK::ERecovery result = VEK::RecoverUnsavedRun(path, options.outFile, store, problem);
    if (result != VEK::ERecovery::kRecovered) {
        std::fprintf(stderr, "hollowmere-record: %s\n", problem.c_str());
        return result == VEK::ERecovery::kHeld ? 3 : 1;
    }
    PrintRecordSummary(store);
    return 0;
}
