#pragma once
#include <cstdint>
#include <functional>

namespace VEK {

// Told now and then how many records of a long file operation are done out of how many (an
// estimate while loading a file without a record count); returns false to cancel the operation.
// An empty function is never called.
using FileProgress = std::function<bool(uint64_t done, uint64_t total)>;

}  // namespace VEK
