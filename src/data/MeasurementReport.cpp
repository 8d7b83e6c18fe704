#include "data/MeasurementReport.h"

#include <cmath>

#include "data/TemperatureUnit.h"
#include "data/Thermocouple.h"
#include "data/UnitReportLayout.h"

namespace {

constexpr uint32_t kMaxAhead = 40;
constexpr uint32_t kMaxBehind = 215;

// Sample count of a measurement report whose header and samples are all inside the data; -1 otherwise.
int SampleCount(const uint8_t* data, size_t size) {
    using namespace UnitReport;
    if (data == nullptr || size < kHeaderSize || data[0] != kMeasurementKind ||
        !IsUnitNumber(data[kUnitOffset])) {
        return -1;
    }
    const uint32_t count = data[kCountOffset] & 0x0F;
    if (count > TDecodedReport::kMaxSamples || size < kHeaderSize + kSampleSize * count)
        return -1;
    return static_cast<int>(count);
}

// Byte offset of the 24-bit count of sample i.
size_t CountOffset(int i) {
    return UnitReport::kHeaderSize + UnitReport::kSampleSize * static_cast<size_t>(i) +
           UnitReport::kCountInSample;
}

}  // namespace

int64_t UnwrapSequence(uint32_t& counter, uint8_t sequence) {
    const uint32_t low = counter & 0xFF;
    if (low > sequence) {
        const uint32_t behind = low - sequence;
        if (behind <= kMaxBehind)
            return int64_t{counter} - behind;
        counter += 256 - behind;  // the unit's number wrapped before ours
        return counter;
    }
    const uint32_t ahead = sequence - low;
    if (ahead <= kMaxAhead) {
        counter += ahead;
        return counter;
    }
    // Behind us, from before our number wrapped.
    return int64_t{counter} + ahead - 256;
}

std::optional<TDecodedReport> DecodeMeasurementReport(std::span<const uint8_t> report,
                                                      int32_t thermocoupleType,
                                                      const TUnitInformation& information,
                                                      uint32_t temperatureUnit) {
    const uint8_t* data = report.data();
    const int count = SampleCount(data, report.size());
    if (count < 0)
        return std::nullopt;
    TDecodedReport decoded;
    decoded.unit = data[UnitReport::kUnitOffset];
    decoded.battery = data[UnitReport::kBatteryOffset];
    decoded.sequence = data[UnitReport::kSequenceOffset];
    decoded.sampleCount = static_cast<uint32_t>(count);

    const int32_t offset = information.IsPresent() ? information.Ofs2() : 0;
    const double gain = information.IsPresent() ? information.Gain() : 1.0;
    const bool fahrenheit = temperatureUnit == kTemperatureUnitFahrenheit;
    for (int i = 0; i < count; ++i) {
        const uint8_t* field = data + CountOffset(i);
        const double coldJunction = UnitReport::ReadColdJunctionCelsius(field - UnitReport::kCountInSample);
        const int32_t reading = UnitReport::ReadSigned24(field);
        double celsius = 0;
        if (ThermocoupleToTemperature(thermocoupleType, coldJunction, reading, offset, gain, celsius)) {
            decoded.temperature[i] = fahrenheit ? celsius * 1.8 + 32 : celsius;
        }
        decoded.coldJunction = coldJunction;
    }
    return decoded;
}

std::vector<uint8_t> ApplyOffsetCorrection(const uint8_t* data, size_t size, const TChannelOffsets& offsets) {
    std::vector<uint8_t> copy(data, data + (data != nullptr ? size : 0));
    const int count = SampleCount(copy.data(), copy.size());
    if (count <= 0)
        return copy;
    const double offset = offsets[copy[UnitReport::kUnitOffset]];
    if (!std::isfinite(offset))
        return copy;
    const double whole = std::trunc(offset);
    for (int i = 0; i < count; ++i) {
        uint8_t* field = copy.data() + CountOffset(i);
        const int32_t reading = UnitReport::ReadSigned24(field);
        if (reading == kCountMin || reading == kCountMax)
            continue;  // saturated stays saturated
        // In double: exact for any 24-bit count, and no overflow however large the offset.
        const double corrected = reading - whole;
        const int32_t written = corrected >= kCountMax   ? kCountMax
                                : corrected <= kCountMin ? kCountMin
                                                         : static_cast<int32_t>(corrected);
        UnitReport::WriteSigned24(field, written);
    }
    return copy;
}
