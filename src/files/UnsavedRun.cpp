#include "files/UnsavedRun.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>

#include "data/SamplingRate.h"
#include "files/CodeTables.h"
#include "files/DataFile.h"
#include "platform/FileLock.h"
#include "support/TextLines.h"

namespace VEK {
namespace {

constexpr std::string_view kWorkingName = "Brisquent-Working";
constexpr std::string_view kVersion = "1.01";
// The header lines up to ",,ON/OFF" are short (a hundred channels at most); a row is at most a
// hundred readings.
constexpr size_t kHeadBytes = 16 * 1024;
constexpr size_t kTailBytes = 8 * 1024;
constexpr int kOnOffLine = 10;
constexpr int kRateLine = 2;
constexpr int64_t kLongestRowWaitMs = 60000;
constexpr int64_t kGrowthSlackMs = 2000;

// The bytes at offset, fewer at the file's end.
std::string ReadAt(int fd, uint64_t offset, size_t size) {
    std::string bytes(size, '\0');
    size_t done = 0;
    while (done < size) {
        const ssize_t n = pread(fd, bytes.data() + done, size - done, static_cast<off_t>(offset + done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        done += static_cast<size_t>(n);
    }
    bytes.resize(done);
    return bytes;
}

size_t Commas(std::string_view line) {
    return static_cast<size_t>(std::count(line.begin(), line.end(), ','));
}

std::string_view Field(std::string_view line, size_t index) {
    for (size_t i = 0; i < index; ++i) {
        const size_t comma = line.find(',');
        if (comma == std::string_view::npos)
            return {};
        line.remove_prefix(comma + 1);
    }
    return line.substr(0, line.find(','));
}

// The row number a record's line begins with; nothing for another line.
std::optional<uint32_t> RowNumber(std::string_view line) {
    uint64_t number = 0;
    size_t digits = 0;
    while (digits < line.size() && digits < 11 && line[digits] >= '0' && line[digits] <= '9')
        number = number * 10 + static_cast<uint64_t>(line[digits++] - '0');
    if (digits == 0 || digits == line.size() || line[digits] != ',')
        return std::nullopt;
    return static_cast<uint32_t>(std::min<uint64_t>(number, UINT32_MAX));
}

// Header: readable, channels in use, period; the comma count of a whole row.
void DescribeHeader(std::string_view head, TUnsavedRun& run, size_t& rowCommas) {
    if (head.substr(0, 3) == "\xEF\xBB\xBF")
        head.remove_prefix(3);
    // As the loader takes it: the first two fields of the first line, ended or not.
    const std::string_view first = head.substr(0, head.find_first_of("\r\n"));
    run.readable = Field(first, 0) == kWorkingName && Field(first, 1) == kVersion;
    const std::vector<std::string_view> lines = SplitTextLines(head, false);
    if (!run.readable)
        return;
    if (lines.size() > kRateLine) {
        const int code = SamplingRateCode(std::string(Field(lines[kRateLine], 1)));
        run.periodMs = code != 0 ? SamplingPeriodMilliseconds(static_cast<uint32_t>(code)) : 0;
    }
    if (lines.size() > kOnOffLine) {
        const std::string_view onOff = lines[kOnOffLine];
        rowCommas = Commas(onOff);
        for (size_t k = 3; k <= rowCommas; ++k) run.channels += Field(onOff, k) == "ON" ? 1 : 0;
    }
}

// The number of the last whole row: ended by a line end, one field per channel.
uint32_t LastRowNumber(std::string_view tail, bool fromFileStart, size_t rowCommas) {
    std::vector<std::string_view> lines = SplitTextLines(tail, false);
    // The first line of a tail block may have begun before it.
    if (!fromFileStart && !lines.empty())
        lines.erase(lines.begin());
    for (auto line = lines.rbegin(); line != lines.rend(); ++line) {
        if (const auto number = RowNumber(*line); number && Commas(*line) == rowCommas)
            return *number;
    }
    return 0;
}

CSystemTime NameTime(std::string_view name) {
    CSystemTime time;
    const auto number = [&](size_t at, size_t digits) {
        uint16_t value = 0;
        for (size_t i = at; i < at + digits; ++i) value = static_cast<uint16_t>(value * 10 + (name[i] - '0'));
        return value;
    };
    time.year = number(0, 4);
    time.month = number(4, 2);
    time.day = number(6, 2);
    time.hour = number(8, 2);
    time.minute = number(10, 2);
    time.second = number(12, 2);
    return time;
}

std::string BaseName(const std::string& path) {
    return path.substr(path.find_last_of('/') + 1);
}

}  // namespace

bool IsWorkingFileName(std::string_view name) {
    constexpr size_t kDigits = 14;
    if (name.size() != kDigits + 4 || name.substr(kDigits) != ".csv")
        return false;
    return std::all_of(name.begin(), name.begin() + kDigits, [](char c) { return c >= '0' && c <= '9'; });
}

std::optional<TUnsavedRun> DescribeUnsavedRun(const std::string& path) {
    // Not followed when a link; never waiting on a FIFO.
    const int fd = open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return std::nullopt;
    struct stat st {};
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        close(fd);
        return std::nullopt;
    }
    TUnsavedRun run;
    run.path = path;
    const std::string name = BaseName(path);
    run.startTime = IsWorkingFileName(name) ? NameTime(name) : CSystemTime();
    run.size = static_cast<uint64_t>(st.st_size);
    run.modifiedMs = static_cast<int64_t>(st.st_mtim.tv_sec) * 1000 + st.st_mtim.tv_nsec / 1000000;
    size_t rowCommas = 0;
    DescribeHeader(ReadAt(fd, 0, kHeadBytes), run, rowCommas);
    if (run.readable) {
        const uint64_t tailAt = run.size > kTailBytes ? run.size - kTailBytes : 0;
        run.records = LastRowNumber(ReadAt(fd, tailAt, kTailBytes), tailAt == 0, rowCommas);
    }
    close(fd);
    return run;
}

int64_t GrowthWindowMs(const TUnsavedRun& run) {
    // Rows are appended once a second, or once a period at the slower rates.
    return std::clamp<int64_t>(run.periodMs, 1000, kLongestRowWaitMs) + kGrowthSlackMs;
}

bool IsOwnedOrGrowing(const TUnsavedRun& run) {
    if (CFileLock::IsLockedElsewhere(run.path))
        return true;
    const int64_t nowMs = std::chrono::duration_cast<std::chrono::milliseconds>(
                              std::chrono::system_clock::now().time_since_epoch())
                              .count();
    // Either way: a clock set back after a power cut must not hide a file for good.
    const int64_t sinceChange = nowMs - run.modifiedMs;
    return sinceChange < GrowthWindowMs(run) && sinceChange > -GrowthWindowMs(run);
}

std::vector<TUnsavedRun> FindUnsavedRuns(const std::string& folder, const std::string& exceptPath) {
    std::vector<TUnsavedRun> runs;
    DIR* dir = opendir(folder.c_str());
    if (dir == nullptr)
        return runs;
    while (const dirent* entry = readdir(dir)) {
        const std::string path = folder + "/" + entry->d_name;
        if (!IsWorkingFileName(entry->d_name) || path == exceptPath)
            continue;
        if (auto run = DescribeUnsavedRun(path); run && !IsOwnedOrGrowing(*run))
            runs.push_back(std::move(*run));
    }
    closedir(dir);
    // The names are start times: newest first.
    std::sort(runs.begin(), runs.end(),
              [](const TUnsavedRun& a, const TUnsavedRun& b) { return BaseName(a.path) > BaseName(b.path); });
    return runs;
}

bool DeleteUnsavedRun(const std::string& path) {
    CFileLock lock;
    return lock.Lock(path) && unlink(path.c_str()) == 0;
}

ERecovery RecoverUnsavedRun(const std::string& path, const std::string& out, CMeasurementDataManager& store,
                            std::string& problem) {
    CFileLock lock;
    if (!lock.Lock(path)) {
        const bool held = CFileLock::IsLockedElsewhere(path);
        const std::string holder = held ? CFileLock::HolderOf(path) : std::string();
        problem =
            held ? path + " is written by a running measurement" + (holder.empty() ? "" : " (" + holder + ")")
                 : "cannot open " + path;
        return held ? ERecovery::kHeld : ERecovery::kFailed;
    }
    // Saving over the working file and then deleting it would leave nothing.
    struct stat from {
    }, to{};
    if (stat(path.c_str(), &from) == 0 && stat(out.c_str(), &to) == 0 && from.st_dev == to.st_dev &&
        from.st_ino == to.st_ino) {
        problem = out + " is the working file itself";
        return ERecovery::kFailed;
    }
    TDataFileView view;
    if (!LoadDataFile(path, store, view, TMeasurementSetup{})) {
        problem = "cannot read " + path + (view.problem.empty() ? "" : ": " + view.problem);
        return ERecovery::kFailed;
    }
    if (!view.workingFile || store.RecordCount() == 0) {
        problem = path + (view.workingFile ? " holds no record" : " is not a working file");
        return ERecovery::kFailed;
    }
    if (!SaveDataFile(out, store, view)) {
        problem = "cannot save the data file " + out;
        return ERecovery::kFailed;
    }
    if (unlink(path.c_str()) != 0) {
        problem = "saved to " + out + ", but cannot delete " + path + ": " + std::strerror(errno);
        return ERecovery::kFailed;
    }
    return ERecovery::kRecovered;
}

}  // namespace VEK
