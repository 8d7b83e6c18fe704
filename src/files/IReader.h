#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

namespace VEK {

// Where a file's bytes come from.
class IReader {
public:
    virtual ~IReader() = default;
    // Up to size bytes from offset into buffer; fewer only at the end of the file, 0 past it.
    // Throws CReadFailureException.
    virtual size_t ReadAt(uint64_t offset, char* buffer, size_t size) = 0;
    // The size of the file now, for telling how far a read has come.
    virtual uint64_t Size() = 0;
    virtual std::string Path() const = 0;
};

}  // namespace VEK
