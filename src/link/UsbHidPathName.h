#pragma once
#include <cstdint>
#include <string>

#include "link/HidReportLayout.h"

namespace VEK {

// One USB HID device as the search finds it.
struct CUsbHidPathName {
    uint16_t vendorId = 0;
    uint16_t productId = 0;
    std::string path;
    THidReportLayout caps;
};

}  // namespace VEK
