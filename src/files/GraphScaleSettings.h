#pragma once
#include <cstdint>
#include <string>

namespace VEK {

// The graph's scales as the settings and data files store them: time per division (a name such
// as "10sec"), temperature per division (text) and the temperature at the graph's centre.
struct TGraphScaleSettings {
    std::string timeDiv = "10sec";
    std::string tempDiv = "10";
    int32_t tempOffset = 50;

    bool operator==(const TGraphScaleSettings&) const = default;
};

}  // namespace VEK
