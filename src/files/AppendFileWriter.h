#pragma once
#include <sys/types.h>

#include <string>

#include "files/IWriter.h"
#include "support/CopyImpossible.h"

namespace VEK {

// Appends to a file, creating it when absent. A failed append can be taken back, so that a
// part-written row never stays in the file.
class CAppendFileWriter : public IWriter, private CCopyImpossible {
public:
    explicit CAppendFileWriter(std::string path) : m_path(std::move(path)) {}
    ~CAppendFileWriter() override;

    bool Open();
    void Write(const char* bytes, size_t size) override;
    std::string Path() const override { return m_path; }
    // Closes the file and cuts it back to its size at Open.
    bool Rollback();
    // False when the system reports a failure of the writes on closing.
    bool Close();
    // The errno of the first failure, 0 while there was none.
    int Error() const { return m_error; }

private:
    void Fail(int error) {
        if (m_error == 0)
            m_error = error;
    }

    std::string m_path;
    int m_fd = -1;
    off_t m_sizeAtOpen = 0;
    int m_error = 0;
};

}  // namespace VEK
