#pragma once
// The 22-byte block of a unit information report, kept per channel as the unit's information.
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

struct TUnitInformation {
    std::array<uint8_t, 22> bytes{};

    // A block counts as present once an information report filled it (byte 0 is the report kind 4).
    bool IsPresent() const;
    int Unit() const { return bytes[1]; }
    int Battery() const { return bytes[2]; }
    void SetBattery(uint8_t level) { bytes[2] = level; }
    // ASCII fields, ending early at a zero byte; bytes above 0x7F are read as CP932.
    std::string Version() const;
    std::string SerialNumber() const;
    // Shown only: 14-bit signed value packed like the cold-junction word.
    int32_t Ofs1() const;
    // The unit's offset in converter counts.
    int32_t Ofs2() const;
    // Four zero bytes mean 1.0.
    double Gain() const;

    bool operator==(const TUnitInformation&) const = default;
};

// Accepts an information report of at least 22 bytes for a unit 1..100; the first 22 bytes become
// the block.
bool DecodeUnitInformation(const uint8_t* data, size_t size, TUnitInformation& information);

// "CH=%d, BAT=%d, OFS1=%d, OFS2=%d, GAIN=%.2f, Ver=[%s], SN=[%s]"
std::string FormatUnitInfo(const TUnitInformation& information);
