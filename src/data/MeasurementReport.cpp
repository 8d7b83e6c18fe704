#include "data/MeasurementReport.h"

#include <cmath>

#include "data/MeasurementDataManager.h"
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

bool DecodeMeasurementReport(CMeasurementDataManager& store, const uint8_t* data, size_t size,
                             TDecodedReport& decoded) {
    const int count = SampleCount(data, size);
    if (count < 0)
        return false;
    const int unit = data[UnitReport::kUnitOffset];
    const CMeasurementChannel& channel = store.Channel(unit);
    if (!channel.InUse())
        return false;

    const std::optional<uint32_t> recordIndex =
        store.RecordIndexOf(unit, data[UnitReport::kSequenceOffset], static_cast<uint32_t>(count));
    if (!recordIndex)
        return false;
    decoded.unit = static_cast<uint32_t>(unit);
    decoded.recordIndex = *recordIndex;
    decoded.sampleCount = static_cast<uint32_t>(count);
    decoded.temperature.fill(kInvalidTemperature);
    decoded.coldJunction = kInvalidTemperature;

    const TUnitInformation information = store.UnitInformation(unit);
    const int32_t offset = information.IsPresent() ? information.Ofs2() : 0;
    const double gain = information.IsPresent() ? information.Gain() : 1.0;
    const int32_t type = channel.ThermocoupleType();
    const bool fahrenheit = store.TemperatureUnit() == kTemperatureUnitFahrenheit;
    for (int i = 0; i < count; ++i) {
        const uint8_t* field = data + CountOffset(i);
        const double coldJunction = UnitReport::ReadColdJunctionCelsius(field - UnitReport::kCountInSample);
        const int32_t reading = UnitReport::ReadSigned24(field);
        double celsius = 0;
        if (ThermocoupleToTemperature(type, coldJunction, reading, offset, gain, celsius)) {
            decoded.temperature[i] = fahrenheit ? celsius * 1.8 + 32 : celsius;
        }
        decoded.coldJunction = coldJunction;
    }
    return true;
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
