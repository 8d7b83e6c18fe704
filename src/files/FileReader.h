#pragma once
#include <string>

#include "files/IReader.h"
#include "support/CopyImpossible.h"

namespace VEK {

// Reads a whole file from its start; each ReadAll reads it afresh.
class CFileReader : public IReader, private CCopyImpossible {
public:
    explicit CFileReader(std::string path) : m_path(std::move(path)) {}
    ~CFileReader() override;

    bool Open();
    std::string ReadAll() override;
    std::string Path() const override { return m_path; }

private:
    std::string m_path;
    int m_fd = -1;
};

}  // namespace VEK
