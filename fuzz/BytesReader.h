#pragma once
// The fuzzers' input as a file.
#include <cstdint>
#include <string>

#include "files/IReader.h"

class CBytesReader : public VEK::IReader {
public:
    explicit CBytesReader(std::string bytes) : m_bytes(std::move(bytes)) {}
    size_t ReadAt(uint64_t offset, char* buffer, size_t size) override {
        if (offset >= m_bytes.size())
            return 0;
        return m_bytes.copy(buffer, size, static_cast<size_t>(offset));
    }
    uint64_t Size() override { return m_bytes.size(); }
    std::string Path() const override { return "fuzz.csv"; }

private:
    std::string m_bytes;
};
