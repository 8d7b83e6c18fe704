#pragma once
// Byte layout of the units' reports, the data of the dongle's data-received event. Multi-byte fields
// are big-endian except GAIN.
#include <cstddef>
#include <cstdint>

#include "protocol/CommandCode.h"

namespace UnitReport {

inline constexpr uint8_t kMeasurementKind = QNL::Code::kMeasurementReport;
inline constexpr uint8_t kInformationKind = QNL::Code::kInformationReport;
inline constexpr int kFirstUnit = 1;
inline constexpr int kLastUnit = 100;

// Measurement report: kind, unit, battery, sample count (low four bits), sequence byte, samples.
inline constexpr size_t kUnitOffset = 1;
inline constexpr size_t kBatteryOffset = 2;
inline constexpr size_t kCountOffset = 3;
inline constexpr size_t kSequenceOffset = 4;
inline constexpr size_t kHeaderSize = 5;
inline constexpr size_t kSampleSize = 5;
// A sample: cold-junction word, then the 24-bit thermocouple count.
inline constexpr size_t kCountInSample = 2;

// Information report.
inline constexpr size_t kInformationSize = 22;
inline constexpr size_t kVersionOffset = 3;
inline constexpr size_t kVersionSize = 4;
inline constexpr size_t kSerialOffset = 7;
inline constexpr size_t kSerialSize = 6;
inline constexpr size_t kOfs1Offset = 13;
inline constexpr size_t kOfs2Offset = 15;
inline constexpr size_t kGainOffset = 18;

constexpr bool IsUnitNumber(int unit) {
    return unit >= kFirstUnit && unit <= kLastUnit;
}

// A 16-bit word whose upper 14 bits are a signed value.
inline int32_t ReadPacked14(const uint8_t* p) {
    return static_cast<int16_t>(static_cast<uint16_t>(p[0] << 8 | p[1])) >> 2;
}
// The cold-junction word in degC: 0.03125 degC per step.
inline double ReadColdJunctionCelsius(const uint8_t* p) {
    return ReadPacked14(p) * 0.03125;
}

inline int32_t ReadSigned24(const uint8_t* p) {
    const uint32_t raw = static_cast<uint32_t>(p[0]) << 16 | static_cast<uint32_t>(p[1]) << 8 | p[2];
    return static_cast<int32_t>(raw ^ 0x800000u) - 0x800000;
}
inline void WriteSigned24(uint8_t* p, int32_t value) {
    const auto raw = static_cast<uint32_t>(value);
    p[0] = static_cast<uint8_t>(raw >> 16);
    p[1] = static_cast<uint8_t>(raw >> 8);
    p[2] = static_cast<uint8_t>(raw);
}

}  // namespace UnitReport
