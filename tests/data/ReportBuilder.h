#pragma once
// Builds unit reports byte by byte, as the dongle delivers them.
#include <cstdint>
#include <vector>

#include "data/MeasurementSetup.h"

namespace data_test {

struct TSample {
    uint16_t coldJunctionWord;  // upper 14 bits: 0.03125 degC steps
    int32_t count;              // 24-bit converter count
};

// Cold-junction word of a temperature that is a whole number of 0.03125 degC steps.
inline uint16_t ColdJunctionWord(double celsius) {
    return static_cast<uint16_t>(static_cast<int32_t>(celsius / 0.03125) * 4);
}

inline std::vector<uint8_t> MeasurementReport(int unit, uint8_t sequence, const std::vector<TSample>& samples,
                                              uint8_t battery = 90) {
    std::vector<uint8_t> bytes = {3, static_cast<uint8_t>(unit), battery,
                                  static_cast<uint8_t>(samples.size()), sequence};
    for (const TSample& s : samples) {
        const auto raw = static_cast<uint32_t>(s.count);
        bytes.insert(bytes.end(), {static_cast<uint8_t>(s.coldJunctionWord >> 8),
                                   static_cast<uint8_t>(s.coldJunctionWord), static_cast<uint8_t>(raw >> 16),
                                   static_cast<uint8_t>(raw >> 8), static_cast<uint8_t>(raw)});
    }
    return bytes;
}

// Information report: version "1.02", serial "SN0042", OFS1 0, the given OFS2 and GAIN bytes.
inline std::vector<uint8_t> InformationReport(int unit, int32_t ofs2,
                                              std::vector<uint8_t> gainBytes = {0, 0, 0, 0},
                                              uint8_t battery = 80) {
    const auto raw = static_cast<uint32_t>(ofs2);
    std::vector<uint8_t> bytes = {4,
                                  static_cast<uint8_t>(unit),
                                  battery,
                                  '1',
                                  '.',
                                  '0',
                                  '2',
                                  'S',
                                  'N',
                                  '0',
                                  '0',
                                  '4',
                                  '2',
                                  0,
                                  0,
                                  static_cast<uint8_t>(raw >> 16),
                                  static_cast<uint8_t>(raw >> 8),
                                  static_cast<uint8_t>(raw)};
    bytes.insert(bytes.end(), gainBytes.begin(), gainBytes.end());
    return bytes;
}

// Channels 1..3 in use with types K, T, J at the given rate code; the rest off.
inline TMeasurementSetup ThreeChannelSetup(uint8_t rateCode = 4, uint32_t temperatureUnit = 0) {
    TMeasurementSetup setup;
    setup.pollingSetting.SetRateCode(rateCode);
    for (int k = 1; k <= 3; ++k) {
        setup.pollingSetting.SetInUse(k, true);
        setup.thermocoupleType[k] = k;
    }
    setup.temperatureUnit = temperatureUnit;
    return setup;
}

}  // namespace data_test
