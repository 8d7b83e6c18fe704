#pragma once
#include <string>

namespace VEK {

// Where a file's bytes come from.
class IReader {
public:
    virtual ~IReader() = default;
    // The whole content from the start of the file; throws CReadFailureException.
    virtual std::string ReadAll() = 0;
    virtual std::string Path() const = 0;
};

}  // namespace VEK
