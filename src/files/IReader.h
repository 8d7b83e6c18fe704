#pragma once
#include <string>
#include <string_view>

namespace VEK {

// Where a file's bytes come from.
class IReader {
public:
    virtual ~IReader() = default;
    // The whole content from the start of the file, held by the reader until the next call;
    // throws CReadFailureException.
    virtual std::string_view ReadAll() = 0;
    virtual std::string Path() const = 0;
};

}  // namespace VEK
