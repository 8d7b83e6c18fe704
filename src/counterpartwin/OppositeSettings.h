#pragma once
#include <cstdint>

#include "counterpart/OppositeUnitTable.h"
#include "files/AccessorSection.h"

// The counterpart's settings, lastone.ini section "oppo": "priod", the period of the cycle by
// hand in ms, and "struct", the unit table (2020 bytes as hex text).
class COppositeSettings {
public:
    explicit COppositeSettings(VEK::AccessorSection section) : m_section(std::move(section)) {}

    // "priod", 1000 when absent.
    uint32_t Period() const;
    // "struct": absent, every unit in use with zero values; of another length than 2020 bytes,
    // every unit off. Values beyond the window's ranges are clamped into them.
    COppositeUnitTable Units() const;
    bool Write(uint32_t period, const COppositeUnitTable& units) const;

private:
    VEK::AccessorSection m_section;
};
