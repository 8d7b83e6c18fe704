#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "counterpart/OppositeUnit.h"

// The counterpart's 101 unit entries: entries 0..99 are units 1..100, entry 100 is kept for the
// stored layout only. Stored whole as the 2020-byte "struct" setting.
class COppositeUnitTable {
public:
    static constexpr int kUnits = 100;
    static constexpr size_t kEntries = 101;
    static constexpr size_t kStructSize = kEntries * TOppositeUnit::kStoredSize;

    // Every unit in use, everything else zero (no stored setting).
    COppositeUnitTable() { SetDefaults(); }

    void SetDefaults();
    void Clear() { m_entries.fill(TOppositeUnit{}); }

    // Units 1..100; others are out of range (checked by the caller with IsUnit).
    static bool IsUnit(int unit) { return unit >= 1 && unit <= kUnits; }
    TOppositeUnit& Unit(int unit) { return m_entries[static_cast<size_t>(unit - 1)]; }
    const TOppositeUnit& Unit(int unit) const { return m_entries[static_cast<size_t>(unit - 1)]; }

    std::vector<uint8_t> EncodeStruct() const;
    // A value of any other length than 2020 bytes leaves the table zeroed and gives false.
    bool DecodeStruct(const uint8_t* bytes, size_t size);

    // The setting's text form: two upper-case hex digits per byte; read back with the hex-text
    // rules (separators skipped, reading stops at any other character).
    std::string StructText() const;
    bool SetStructText(std::string_view text);

    bool operator==(const COppositeUnitTable&) const = default;

private:
    std::array<TOppositeUnit, kEntries> m_entries{};
};
