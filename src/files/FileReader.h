#pragma once
#include <memory>
#include <string>

#include "files/IReader.h"
#include "support/CopyImpossible.h"

namespace VEK {

// Reads a whole file from its start; each ReadAll reads it afresh.
class CFileReader : public IReader, private CCopyImpossible {
public:
    explicit CFileReader(std::string path) : m_path(std::move(path)) {}
    ~CFileReader() override;

    // False unless the path names a regular file that can be read.
    bool Open();
    std::string_view ReadAll() override;
    std::string Path() const override { return m_path; }

private:
    std::string m_path;
    int m_fd = -1;
    // Not zero-filled first: a day of data is tens of megabytes.
    std::unique_ptr<char[]> m_bytes;
};

}  // namespace VEK
