#pragma once
#include <cstdint>

#include "data/Reading.h"

// One stored reading; default-constructed it is Lost. Series of them are the bulk of a run's
// memory, so it stays two bytes.
class CMeasurementValue {
public:
    constexpr CMeasurementValue() = default;
    constexpr explicit CMeasurementValue(int16_t tenths) : m_tenths(tenths) {}
    constexpr int16_t Tenths() const { return m_tenths; }
    constexpr bool IsValid() const { return IsValidReading(m_tenths); }

private:
    int16_t m_tenths = kReadingLost;
};
static_assert(sizeof(CMeasurementValue) == 2, "a reading costs two bytes");
