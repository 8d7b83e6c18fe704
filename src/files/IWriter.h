#pragma once
#include <cstddef>
#include <string>

namespace VEK {

// Where a file's bytes go.
class IWriter {
public:
    virtual ~IWriter() = default;
    // Writes the whole block or throws CWriteFailureException.
    virtual void Write(const char* bytes, size_t size) = 0;
    virtual std::string Path() const = 0;
};

}  // namespace VEK
