// Feeds arbitrary bytes to the MQTT spill file reader as a file left by an earlier run.
// The file: one it takes over yields as many lines as it counted, none kept beyond its longest
// line, together no longer than the file after its header; delivering half and saving that leaves
// the rest for the next run, delivering all removes the file; the lines read, appended to a new
// spill file, read back the same.
// The record queue on the same bytes: it hands out exactly the lines of its own topic whose payload
// is a record as the program writes it, each once and in order, counts every other line as
// dropped, and leaves no file once all were delivered.
#include <sys/stat.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "FuzzCheck.h"
#include "publish/MqttPayload.h"
#include "publish/RecordQueue.h"
#include "publish/SpillFile.h"

namespace {

using fuzz::Require;
using TLines = std::vector<CSpillFile::TLine>;

const std::string kTopic = "hollowmere/5/record";

uint64_t FileSize(const std::string& path) {
    struct stat st {};
    return stat(path.c_str(), &st) == 0 ? static_cast<uint64_t>(st.st_size) : 0;
}

bool Exists(const std::string& path) {
    struct stat st {};
    return lstat(path.c_str(), &st) == 0;
}

// Every unread line, batch by batch.
TLines ReadAll(CSpillFile& file, size_t batch) {
    TLines lines;
    const uint64_t count = file.UnreadLines();
    while (file.UnreadLines() > 0) {
        const TLines read = file.ReadLines(batch);
        Require(!read.empty() && read.size() <= batch);
        lines.insert(lines.end(), read.begin(), read.end());
    }
    Require(lines.size() == count);
    return lines;
}

bool SameText(const TLines& a, const TLines& b) {
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (a[i].topic != b[i].topic || a[i].payload != b[i].payload)
            return false;
    }
    return true;
}

// A line is kept only within the longest line, and its text is within its bytes.
void RequireBounded(const TLines& lines, uint64_t fileSize) {
    uint64_t bytes = 0;
    for (const CSpillFile::TLine& line : lines) {
        Require(line.bytes > 0);
        if (line.bytes > CSpillFile::kLongestLine)
            Require(line.topic.empty() && line.payload.empty());
        else if (!line.topic.empty())
            Require(line.topic.size() + line.payload.size() + 2 <= line.bytes);
        bytes += line.bytes;
    }
    // The lines run to the end of the file after its header, a cut last line dropped.
    Require(fileSize >= bytes + 42);
}

// Reads, delivers half, reopens, delivers the rest: the file is gone. Returns the lines read.
TLines DeliverInTwoRuns(const std::string& path, size_t batch) {
    TLines lines;
    {
        CSpillFile file(path);
        std::string error;
        if (!file.Open(error)) {
            Require(!error.empty() && !file.IsOpen());
            return lines;
        }
        Require(file.IsOpen());
        lines = ReadAll(file, batch);
        RequireBounded(lines, FileSize(path));
        const size_t half = lines.size() / 2;
        for (size_t i = 0; i < half; ++i) file.Consume(lines[i].bytes);
        Require(file.SaveProgress());
    }
    CSpillFile again(path);
    std::string error;
    Require(again.Open(error));
    const TLines rest = ReadAll(again, batch);
    Require(
        SameText(rest, TLines(lines.begin() + static_cast<std::ptrdiff_t>(lines.size() / 2), lines.end())));
    for (const CSpillFile::TLine& line : rest) again.Consume(line.bytes);
    Require(again.SaveProgress());
    Require(!again.IsOpen() && !Exists(path));
    return lines;
}

// The lines appended to a new spill file read back the same.
void RequireAppendedReadBack(const TLines& lines, size_t batch) {
    const std::string copy = fuzz::Folder() + "/copy.spill";
    std::remove(copy.c_str());
    {
        CSpillFile file(copy);
        std::string error;
        Require(file.Open(error) && !file.IsOpen());
        size_t next = 0;
        const auto source = [&](std::string& block) {
            if (next == lines.size())
                return false;
            block += CSpillFile::FormatLine(lines[next].topic, lines[next].payload);
            ++next;
            return true;
        };
        Require(lines.empty() || file.Append(source, error));
    }
    CSpillFile reread(copy);
    std::string error;
    Require(reread.Open(error));
    Require(SameText(ReadAll(reread, batch), lines));
}

// The queue hands out the records of its topic among lines, peeking window records ahead.
void RequireQueueDeliversOwnRecords(const std::string& path, const TLines& lines, size_t window) {
    TLines records;
    for (const CSpillFile::TLine& line : lines) {
        TPublishRecord record;
        if (line.topic == kTopic && ParseRecordPayload(line.payload, record))
            records.push_back(line);
    }
    CRecordQueue queue(path, kTopic);
    std::string error;
    Require(queue.Open(error));
    size_t taken = 0;
    for (; queue.Has(0); ++taken) {
        Require(taken < records.size());
        const CRecordQueue::TMessage front = queue.Peek(0);
        Require(front.topic == kTopic && front.payload == records[taken].payload);
        if (queue.Has(window)) {
            Require(taken + window < records.size());
            Require(queue.Peek(window).payload == records[taken + window].payload);
        }
        queue.PopFront();
    }
    Require(taken == records.size() && queue.Count() == 0);
    uint64_t dropped = 0;
    for (const auto& [reason, count] : queue.TakeDrops()) dropped += count;
    Require(dropped == lines.size() - records.size());
    Require(queue.Persist(error) && !Exists(path));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const size_t batch = size > 0 ? data[0] % 8 + 1 : 1;
    const std::string path = fuzz::WriteFile("spill.spill", data, size);
    const std::string queuePath = fuzz::WriteFile("queue.spill", data, size);
    const TLines lines = DeliverInTwoRuns(path, batch);
    if (lines.empty()) {
        std::remove(queuePath.c_str());
        return 0;
    }
    RequireAppendedReadBack(lines, batch);
    RequireQueueDeliversOwnRecords(queuePath, lines, batch - 1);
    return 0;
}
