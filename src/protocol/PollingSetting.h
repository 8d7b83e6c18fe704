#pragma once
#include <array>
#include <cstdint>

// The 26-byte block the dongle takes with the polling data send setting: byte 0 the sampling-rate
// code, bytes 1..25 one two-bit code per unit 1..100, unit 1 in the two most significant bits of
// byte 1. Bit 0 of a unit code: channel in use; bit 1: the unit's information report is wanted.
struct TPollingSetting {
    static constexpr int kUnits = 100;
    static constexpr uint8_t kInUse = 1;
    static constexpr uint8_t kInfoWanted = 2;

    std::array<uint8_t, 26> bytes{};

    // All zero, every unit not in use with its information wanted.
    static TPollingSetting Fresh() {
        TPollingSetting s;
        for (int unit = 1; unit <= kUnits; ++unit) s.SetUnitCode(unit, kInfoWanted);
        return s;
    }

    uint8_t RateCode() const { return bytes[0]; }
    void SetRateCode(uint8_t code) { bytes[0] = code; }

    // Units outside 1..100 read as 0 and are never written.
    uint8_t UnitCode(int unit) const {
        if (unit < 1 || unit > kUnits)
            return 0;
        return (bytes[ByteIndex(unit)] >> Shift(unit)) & 3;
    }
    void SetUnitCode(int unit, uint8_t code) {
        if (unit < 1 || unit > kUnits)
            return;
        uint8_t& b = bytes[ByteIndex(unit)];
        b = static_cast<uint8_t>((b & ~(3 << Shift(unit))) | ((code & 3) << Shift(unit)));
    }
    bool InUse(int unit) const { return (UnitCode(unit) & kInUse) != 0; }
    void SetInUse(int unit, bool on) {
        SetUnitCode(unit, static_cast<uint8_t>((UnitCode(unit) & ~kInUse) | (on ? kInUse : 0)));
    }
    bool InfoWanted(int unit) const { return (UnitCode(unit) & kInfoWanted) != 0; }
    void SetInfoWanted(int unit, bool wanted) {
        SetUnitCode(unit, static_cast<uint8_t>((UnitCode(unit) & ~kInfoWanted) | (wanted ? kInfoWanted : 0)));
    }

    bool operator==(const TPollingSetting&) const = default;

private:
    static int ByteIndex(int unit) { return 1 + (unit - 1) / 4; }
    static int Shift(int unit) { return 6 - 2 * ((unit - 1) % 4); }
};
static_assert(sizeof(TPollingSetting) == 26);
