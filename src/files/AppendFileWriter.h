#pragma once
#include <sys/types.h>

#include <string>

#include "files/IWriter.h"
#include "support/CopyImpossible.h"

namespace VEK {

// Appends to an open file through a descriptor it borrows, never reopening the file by name. A
// failed append can be taken back, so that a part-written row never stays in the file.
class CAppendFileWriter : public IWriter, private CCopyImpossible {
public:
    CAppendFileWriter(int fd, std::string path) : m_fd(fd), m_path(std::move(path)) {}

    // Finds the end of the file; false when the descriptor is unusable.
    bool Open();
    void Write(const char* bytes, size_t size) override;
    std::string Path() const override { return m_path; }
    // Cuts the file back to its size at Open.
    bool Rollback();
    // The errno of the first failure, 0 while there was none.
    int Error() const { return m_error; }

private:
    void Fail(int error) {
        if (m_error == 0)
            m_error = error;
    }

    int m_fd;
    std::string m_path;
    off_t m_sizeAtOpen = 0;
    off_t m_end = 0;
    int m_error = 0;
};

}  // namespace VEK
