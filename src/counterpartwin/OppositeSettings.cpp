#include "counterpartwin/OppositeSettings.h"

#include "counterpartwin/OppositeRanges.h"

namespace {

constexpr const char* kPeriodKey = "priod";
constexpr const char* kUnitsKey = "struct";

}  // namespace

uint32_t COppositeSettings::Period() const {
    return static_cast<uint32_t>(
        m_section.GetInteger(kPeriodKey, static_cast<int32_t>(TOppositeRanges::kDefaultPeriod)));
}

COppositeUnitTable COppositeSettings::Units() const {
    COppositeUnitTable units;
    if (m_section.Accessor().KindOf(m_section.Name(), kUnitsKey) == 'n')
        return units;
    units.SetStructText(m_section.GetString(kUnitsKey, ""));
    for (int unit = 1; unit <= COppositeUnitTable::kUnits; ++unit)
        units.Unit(unit) = TOppositeRanges::Clamped(units.Unit(unit));
    return units;
}

bool COppositeSettings::Write(uint32_t period, const COppositeUnitTable& units) const {
    const bool periodWritten = m_section.SetInteger(kPeriodKey, static_cast<int32_t>(period));
    return m_section.SetBinary(kUnitsKey, units.EncodeStruct()) && periodWritten;
}
