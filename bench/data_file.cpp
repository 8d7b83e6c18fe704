// Saving and loading a day of measurement data: 100 channels at 1 s (86 400 records) and 20
// channels at 100 ms (864 000 records). Reports MB/s of file text and the peak resident memory
// each operation adds. LineScan gives the yardstick in the same run: the same file read with the
// loader's buffer size and its line ends found with memchr, nothing else; loading and saving should
// reach a tenth of its speed (compare MB/s_cpu, which the other work on the machine disturbs least).
// SmallFile: the round trip of a ten-record file, which must not cost a large file's buffers.
#include <benchmark/benchmark.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <ctime>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "files/DataFile.h"
#include "files/DataFileReader.h"
#include "files/DataFileWriter.h"
#include "files/FileReader.h"
#include "files/TextBufferWriter.h"

namespace {

struct TDay {
    const char* name;
    int channels;
    uint8_t rateCode;
    uint32_t records;
};
constexpr TDay kDays[] = {{"100ch_1s", 100, 4, 86'400}, {"20ch_100ms", 20, 1, 864'000}};

std::string g_folder;

// Peak resident memory since the last reset, and the current resident memory (kB, /proc/self/status).
long StatusKb(const char* key) {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind(key, 0) == 0)
            return std::stol(line.substr(std::string(key).size()));
    }
    return 0;
}
void ResetPeak() {
    std::ofstream("/proc/self/clear_refs") << "5";
}

// Room temperatures with a slow swing, a few Lost and Out Of Range readings, negatives on some channels.
std::unique_ptr<CMeasurementDataManager> MakeStore(const TDay& day) {
    auto store = std::make_unique<CMeasurementDataManager>();
    TMeasurementSetup setup;
    setup.pollingSetting.SetRateCode(day.rateCode);
    for (int k = 1; k <= day.channels; ++k) setup.pollingSetting.SetInUse(k, true);
    store->Reset(setup);
    store->SetStartTime({2026, 12, 0, 10, 0, 0, 0, 0});
    for (int k = 1; k <= day.channels; ++k) {
        for (uint32_t i = 0; i < day.records; ++i) {
            int16_t v =
                static_cast<int16_t>((k % 7 == 0 ? -150 : 200) + static_cast<int>((i * 7 + k * 13) % 900));
            if ((i + k) % 5000 == 0)
                v = kReadingLost;
            else if ((i + k) % 7777 == 0)
                v = kReadingOutOfRange;
            CMeasurementDataManager::SetReading(store->Channel(k), i, v);
        }
    }
    store->SetRecordCount(day.records);
    store->SetState(CMeasurementDataManager::kStateHolding);
    return store;
}

std::string PathOf(const TDay& day) {
    return g_folder + "/" + day.name + ".csv";
}

double FileBytes(const std::string& path);

double ThreadCpuSeconds() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + t.tv_nsec / 1e9;
}

// MB/s by the wall clock, and by the CPU time of the one thread that does the work (the machine
// may be busy with other work); file size; peak resident memory the operation added.
void Report(benchmark::State& state, const std::string& path, double cpuSeconds, long addedKb,
            const char* name) {
    const double bytes = FileBytes(path);
    state.counters["MB/s"] =
        benchmark::Counter(bytes * state.iterations() / 1e6, benchmark::Counter::kIsRate);
    state.counters["MB/s_cpu"] = bytes * state.iterations() / 1e6 / cpuSeconds;
    state.counters["file_MB"] = bytes / 1e6;
    state.counters["peak_added_MB"] = addedKb / 1024.0;
    state.SetLabel(name);
}

double FileBytes(const std::string& path) {
    struct stat st {};
    return stat(path.c_str(), &st) == 0 ? static_cast<double>(st.st_size) : 0.0;
}

void Save(benchmark::State& state) {
    const TDay& day = kDays[state.range(0)];
    auto store = MakeStore(day);
    VEK::TDataFileView view;
    view.samplesPerScreen = 100;
    long addedKb = 0;
    double cpuSeconds = 0;
    for (auto _ : state) {
        const long before = StatusKb("VmRSS:");
        ResetPeak();
        const double cpu = ThreadCpuSeconds();
        if (!VEK::SaveDataFile(PathOf(day), *store, view))
            state.SkipWithError("save failed");
        cpuSeconds += ThreadCpuSeconds() - cpu;
        addedKb = StatusKb("VmHWM:") - before;
    }
    Report(state, PathOf(day), cpuSeconds, addedKb, day.name);
}

void Load(benchmark::State& state) {
    const TDay& day = kDays[state.range(0)];
    {
        auto store = MakeStore(day);
        VEK::TDataFileView view;
        if (!VEK::SaveDataFile(PathOf(day), *store, view))
            state.SkipWithError("save failed");
    }
    long addedKb = 0;
    double cpuSeconds = 0;
    for (auto _ : state) {
        CMeasurementDataManager store;
        VEK::TDataFileView view;
        const long before = StatusKb("VmRSS:");
        ResetPeak();
        const double cpu = ThreadCpuSeconds();
        if (!VEK::LoadDataFile(PathOf(day), store, view, TMeasurementSetup{}) ||
            store.RecordCount() != day.records)
            state.SkipWithError("load failed");
        cpuSeconds += ThreadCpuSeconds() - cpu;
        addedKb = StatusKb("VmHWM:") - before;
    }
    Report(state, PathOf(day), cpuSeconds, addedKb, day.name);
}

// The saved file read in pieces of the loader's size and scanned for line ends.
void LineScan(benchmark::State& state) {
    const TDay& day = kDays[state.range(0)];
    {
        auto store = MakeStore(day);
        if (!VEK::SaveDataFile(PathOf(day), *store, VEK::TDataFileView{}))
            state.SkipWithError("save failed");
    }
    std::vector<char> buffer(size_t{4} << 20);
    double cpuSeconds = 0;
    for (auto _ : state) {
        const double cpu = ThreadCpuSeconds();
        VEK::CFileReader reader(PathOf(day));
        if (!reader.Open())
            state.SkipWithError("open failed");
        uint64_t lines = 0;
        uint64_t offset = 0;
        for (size_t got; (got = reader.ReadAt(offset, buffer.data(), buffer.size())) > 0; offset += got) {
            const char* p = buffer.data();
            const char* const end = p + got;
            while ((p = static_cast<const char*>(std::memchr(p, '\n', static_cast<size_t>(end - p)))) !=
                   nullptr) {
                ++lines;
                ++p;
            }
        }
        benchmark::DoNotOptimize(lines);
        cpuSeconds += ThreadCpuSeconds() - cpu;
    }
    Report(state, PathOf(day), cpuSeconds, 0, day.name);
}

// A file in memory.
class CMemoryReader : public VEK::IReader {
public:
    explicit CMemoryReader(const std::string& bytes) : m_bytes(bytes) {}
    size_t ReadAt(uint64_t offset, char* buffer, size_t size) override {
        return offset >= m_bytes.size() ? 0 : m_bytes.copy(buffer, size, static_cast<size_t>(offset));
    }
    uint64_t Size() override { return m_bytes.size(); }
    std::string Path() const override { return "small.csv"; }

private:
    const std::string& m_bytes;
};

// A small file (ten records of three channels) read from memory and written back, as a fuzzer
// does for every input: files a second and the peak memory the reads and writes added, which
// stays far below a large file's buffers (a few hundred kB at the most).
void SmallFile(benchmark::State& state) {
    std::string bytes;
    {
        auto store = MakeStore({"small", 3, 4, 10});
        VEK::CTextBufferWriter writer("small.csv");
        if (!VEK::WriteDataFile(writer, *store, VEK::TDataFileView{}, true))
            state.SkipWithError("write failed");
        bytes = writer.Bytes();
    }
    const long before = StatusKb("VmRSS:");
    ResetPeak();
    for (auto _ : state) {
        CMemoryReader reader(bytes);
        CMeasurementDataManager store;
        VEK::TDataFileView view;
        VEK::CTextBufferWriter writer("small.csv");
        if (!VEK::ReadDataFile101(reader, store, view) || store.RecordCount() != 10 ||
            !VEK::WriteDataFile(writer, store, view, true))
            state.SkipWithError("round trip failed");
    }
    state.counters["files/s"] =
        benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
    state.counters["peak_added_kB"] = static_cast<double>(StatusKb("VmHWM:") - before);
}

BENCHMARK(SmallFile)->Unit(benchmark::kMicrosecond)->UseRealTime()->MinTime(1.0);
BENCHMARK(LineScan)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(1.0);
BENCHMARK(Save)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);
BENCHMARK(Load)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);

}  // namespace

int main(int argc, char** argv) {
    // Files and the log go to a scratch documents folder, removed at the end.
    char folder[] = "/tmp/bench_data_file.XXXXXX";
    if (mkdtemp(folder) == nullptr)
        return 1;
    g_folder = folder;
    setenv("XDG_DOCUMENTS_DIR", folder, 1);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    const std::string remove = std::string("rm -rf '") + folder + "'";
    return std::system(remove.c_str()) == 0 ? 0 : 1;
}
