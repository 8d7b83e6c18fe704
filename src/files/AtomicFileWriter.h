#pragma once
#include <string>

#include "files/IWriter.h"
#include "support/CopyImpossible.h"

namespace VEK {

// Writes a file through a temporary file beside it that replaces the file only on Commit, so that
// a failure or a writer dropped without Commit leaves the previous file as it was. The bytes go
// straight to the temporary file: a month of data never has to fit in memory.
class CAtomicFileWriter : public IWriter, private CCopyImpossible {
public:
    explicit CAtomicFileWriter(std::string path) : m_path(std::move(path)) {}
    ~CAtomicFileWriter() override;

    // False when the temporary file cannot be created.
    bool Open();
    // Throws CWriteFailureException.
    void Write(const char* bytes, size_t size) override;
    std::string Path() const override { return m_path; }
    // Syncs the temporary file and renames it over the file. False on any failure.
    bool Commit();
    // The errno of the first failure, 0 while there was none.
    int Error() const { return m_error; }
    uint64_t BytesWritten() const { return m_offset; }

private:
    void Fail(int error) {
        if (m_error == 0)
            m_error = error;
    }

    std::string m_path;
    std::string m_temp;
    int m_fd = -1;
    uint64_t m_offset = 0;
    int m_error = 0;
};

}  // namespace VEK
