#pragma once
#include <string>

#include "files/IReader.h"
#include "support/CopyImpossible.h"

namespace VEK {

// Reads a regular file piece by piece.
class CFileReader : public IReader, private CCopyImpossible {
public:
    explicit CFileReader(std::string path) : m_path(std::move(path)) {}
    ~CFileReader() override;

    // False unless the path names a regular file that can be read.
    bool Open();
    size_t ReadAt(uint64_t offset, char* buffer, size_t size) override;
    uint64_t Size() override;
    std::string Path() const override { return m_path; }

private:
    std::string m_path;
    int m_fd = -1;
};

}  // namespace VEK
