#pragma once
// Decoding of the units' measurement reports (the data of the dongle's data-received event).
#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "data/DecodedReport.h"
#include "data/UnitInformation.h"

// Widens a report's 8-bit sequence number against the run's 32-bit sequence counter. A number up
// to 40 ahead of the counter moves the counter forward; one up to 215 behind addresses an earlier
// position, negative when that lies before the first.
int64_t UnwrapSequence(uint32_t& counter, uint8_t sequence);

// Decodes a measurement report of a unit whose channel measures the given thermocouple type:
// temperatures in the given temperature unit, with the unit's calibration (OFS2, GAIN) from its
// information when that is present. Rejected: other kinds, units outside 1..100, more than four
// samples, fewer bytes than the samples need.
std::optional<TDecodedReport> DecodeMeasurementReport(std::span<const uint8_t> report,
                                                      int32_t thermocoupleType,
                                                      const TUnitInformation& information,
                                                      uint32_t temperatureUnit);

// PC-side offset per channel in converter counts, indexed by channel 1..100; a value that is not
// finite means no correction.
using TChannelOffsets = std::array<double, 101>;

// Copy of a measurement report with the channel's offset (truncated toward zero) subtracted from
// every sample's count. A result beyond the 24-bit range, like a count the unit already reported
// at full scale, is written as full scale, which converts to no temperature. Other reports are
// copied unchanged.
std::vector<uint8_t> ApplyOffsetCorrection(const uint8_t* data, size_t size, const TChannelOffsets& offsets);
