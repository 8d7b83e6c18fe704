#pragma once
#include <cstdint>
#include <string>

// The dongle's firmware record (answer to the firmware version query): result byte, 16-byte model
// text and 4-byte version text, each ended by its first zero byte or by the field's end.
#pragma pack(push, 1)
struct TFwVersionData {
    uint8_t result = 1;  // stays 1 until a query succeeds
    char model[16] = {};
    char version[4] = {};

    std::string ModelText() const { return FieldText(model, sizeof model); }
    std::string VersionText() const { return FieldText(version, sizeof version); }

private:
    static std::string FieldText(const char* field, size_t size) {
        size_t n = 0;
        while (n < size && field[n] != '\0') ++n;
        return std::string(field, n);
    }
};
#pragma pack(pop)
static_assert(sizeof(TFwVersionData) == 21);
