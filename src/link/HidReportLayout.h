#pragma once
#include <cstddef>
#include <cstdint>

namespace VEK {

// The report lengths of a HID device, report id byte included (as the device record keeps them).
struct THidReportLayout {
    uint16_t inputReportLength = 0;
    uint16_t outputReportLength = 0;
    bool numberedReports = false;  // the device puts a report id in front of each report
    // The id written in front of every output report: 0 for unnumbered reports, else the id of
    // the longest output report.
    uint8_t outputReportId = 0;

    // Used when the descriptor cannot be read or says nothing: 64 bytes of payload.
    static constexpr uint16_t kFallbackLength = 64 + 1;
};

// Reads the lengths from a report descriptor: the longest input and output report over all report
// ids. A length the descriptor does not give falls back to kFallbackLength.
THidReportLayout ParseHidReportDescriptor(const uint8_t* bytes, size_t size);

}  // namespace VEK
