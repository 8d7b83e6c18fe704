#pragma once
#include <string>
#include <utility>

#include "files/IWriter.h"

namespace VEK {

// Collects a file's bytes in memory, so that the file itself is replaced in one step
// (WriteFileAtomically) once everything has been formatted.
class CTextBufferWriter : public IWriter {
public:
    explicit CTextBufferWriter(std::string path) : m_path(std::move(path)) {}
    void Write(const char* bytes, size_t size) override { m_bytes.append(bytes, size); }
    std::string Path() const override { return m_path; }
    const std::string& Bytes() const { return m_bytes; }
    // Room for the expected size saves copying as the text grows.
    void Reserve(size_t size) { m_bytes.reserve(size); }

private:
    std::string m_path;
    std::string m_bytes;
};

}  // namespace VEK
