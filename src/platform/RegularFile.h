#pragma once
// Whole-file reads of files that the user or another program may have replaced with anything: only
// a regular file of bounded size is read, so a FIFO never blocks, a device never fills memory and a
// folder is named as such.
#include <cstddef>
#include <string>

namespace VEK {

struct TFileRead {
    enum class EResult { kRead, kMissing, kFailed };
    EResult result = EResult::kMissing;
    std::string bytes;
    std::string problem;  // kFailed: why, e.g. "is not a regular file"
};

TFileRead ReadRegularFile(const std::string& path, size_t maxBytes);

}  // namespace VEK
