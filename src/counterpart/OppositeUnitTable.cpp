#include "counterpart/OppositeUnitTable.h"

#include "support/NumberText.h"

namespace {

void PutInt32(uint8_t* out, int32_t value) {
    const auto v = static_cast<uint32_t>(value);
    for (int i = 0; i < 4; ++i) out[i] = static_cast<uint8_t>(v >> (8 * i));
}

int32_t GetInt32(const uint8_t* in) {
    uint32_t v = 0;
    for (int i = 0; i < 4; ++i) v |= static_cast<uint32_t>(in[i]) << (8 * i);
    return static_cast<int32_t>(v);
}

}  // namespace

void COppositeUnitTable::SetDefaults() {
    Clear();
    for (TOppositeUnit& entry : m_entries) entry.use = true;
}

std::vector<uint8_t> COppositeUnitTable::EncodeStruct() const {
    std::vector<uint8_t> bytes(kStructSize, 0);
    uint8_t* out = bytes.data();
    for (const TOppositeUnit& entry : m_entries) {
        out[0] = entry.use ? 1 : 0;
        PutInt32(out + 4, entry.sensor);
        PutInt32(out + 8, entry.thermocouple);
        PutInt32(out + 12, entry.jitter);
        PutInt32(out + 16, entry.failureRate);
        out += TOppositeUnit::kStoredSize;
    }
    return bytes;
}

bool COppositeUnitTable::DecodeStruct(const uint8_t* bytes, size_t size) {
    Clear();
    if (bytes == nullptr || size != kStructSize)
        return false;
    const uint8_t* in = bytes;
    for (TOppositeUnit& entry : m_entries) {
        entry.use = in[0] != 0;
        entry.sensor = GetInt32(in + 4);
        entry.thermocouple = GetInt32(in + 8);
        entry.jitter = GetInt32(in + 12);
        entry.failureRate = GetInt32(in + 16);
        in += TOppositeUnit::kStoredSize;
    }
    return true;
}

std::string COppositeUnitTable::StructText() const {
    const std::vector<uint8_t> bytes = EncodeStruct();
    return VEK::EncodeHexText(bytes.data(), bytes.size());
}

bool COppositeUnitTable::SetStructText(std::string_view text) {
    // One byte more than the struct, so that a longer value is seen as the wrong length.
    const std::vector<uint8_t> bytes = VEK::DecodeHexText(text, kStructSize + 1);
    return DecodeStruct(bytes.data(), bytes.size());
}
