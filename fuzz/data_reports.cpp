// Feeds arbitrary unit reports, cut into data-received sized pieces, through the receive path:
// information decoding and its text, offset correction, decoding and storing. Besides the
// sanitizers' checks it insists that accepted reports stay inside the four sample slots and that
// every decoded temperature is either invalid or physically possible.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "data/MeasurementDataManager.h"
#include "data/MeasurementReport.h"
#include "data/StoreMeasurementReport.h"
#include "data/UnitInformation.h"

namespace {

void Require(bool condition) {
    if (!condition)
        std::abort();
}

constexpr size_t kMaxReport = 29;  // data bytes of one data-received event

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2)
        return 0;
    // First byte: thermocouple type code 0..4 and the temperature unit; second: which channels have offsets.
    TMeasurementSetup setup;
    setup.pollingSetting.SetRateCode(4);
    setup.temperatureUnit = data[0] >> 7;
    for (int k = 1; k <= 100; ++k) {
        setup.pollingSetting.SetInUse(k, true);
        setup.thermocoupleType[k] = data[0] % 5;
    }
    TChannelOffsets offsets;
    for (size_t k = 0; k < offsets.size(); ++k)
        offsets[k] = (data[1] >> (k % 8)) & 1 ? double(k) * 1e5 - 5e6 : NAN;
    CMeasurementDataManager store;
    store.Start(setup);

    for (size_t at = 2; at < size;) {
        const size_t length = std::min({size - at, kMaxReport, size_t{data[at]} + 1});
        const uint8_t* report = data + at + 1;
        const size_t reportSize = length - 1;
        at += length;

        TUnitInformation information;
        if (DecodeUnitInformation(report, reportSize, information)) {
            FormatUnitInfo(information);
            store.SetUnitInformation(information.Unit(), information);
            continue;
        }
        const std::vector<uint8_t> corrected = ApplyOffsetCorrection(report, reportSize, offsets);
        Require(corrected.size() == reportSize);
        const std::optional<TStoredReport> stored = StoreMeasurementReport(store, corrected);
        if (!stored)
            continue;
        const TDecodedReport& decoded = stored->report;
        Require(decoded.sampleCount <= TDecodedReport::kMaxSamples);
        Require(decoded.unit >= 1 && decoded.unit <= 100);
        for (uint32_t i = 0; i < decoded.sampleCount; ++i) {
            const double t = decoded.temperature[i];
            Require(std::isinf(t) || (t > -330 && t < 2400));
            FormatReading(TemperatureToTenths(t), true);
        }
    }
    Require(store.RecordCount() <= store.SequenceCounter() + 4);
    return 0;
}
