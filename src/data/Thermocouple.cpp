#include "data/Thermocouple.h"

#include <algorithm>
#include <cmath>
#include <span>

#include "data/ThermocoupleTables.h"

namespace {

// Rows one degree apart starting at firstCelsius; EMFs in microvolts, strictly rising.
struct TTable {
    int firstCelsius;
    std::span<const int32_t> microvolts;

    double Millivolts(size_t row) const { return microvolts[row] / 1000.0; }
    size_t LastRow() const { return microvolts.size() - 1; }
};

const TTable* TableOf(int32_t typeCode) {
    static const TTable kTables[] = {{kTypeKFirstCelsius, kTypeKMicrovolts},
                                     {kTypeTFirstCelsius, kTypeTMicrovolts},
                                     {kTypeJFirstCelsius, kTypeJMicrovolts}};
    return typeCode >= kThermocoupleK && typeCode <= kThermocoupleJ ? &kTables[typeCode - 1] : nullptr;
}

// EMF of a temperature strictly inside the table, interpolated between whole degrees.
bool EmfOf(const TTable& table, double celsius, double& millivolts) {
    const double position = celsius - table.firstCelsius;
    if (!(position > 0 && position < static_cast<double>(table.LastRow())))
        return false;
    const auto row = static_cast<size_t>(position);
    const double low = table.Millivolts(row);
    millivolts = low + (table.Millivolts(row + 1) - low) * (position - static_cast<double>(row));
    return true;
}

// Temperature of an EMF strictly inside the table.
bool TemperatureOf(const TTable& table, double millivolts, double& celsius) {
    if (!(millivolts > table.Millivolts(0) && millivolts < table.Millivolts(table.LastRow())))
        return false;
    // First row above the EMF; the row before it is the lower bracket.
    const auto above = std::upper_bound(table.microvolts.begin(), table.microvolts.end(), millivolts,
                                        [](double e, int32_t row) { return e < row / 1000.0; });
    const auto row = static_cast<size_t>(above - table.microvolts.begin()) - 1;
    const double low = table.Millivolts(row);
    celsius = table.firstCelsius + static_cast<double>(row) +
              (millivolts - low) / (table.Millivolts(row + 1) - low);
    return true;
}

}  // namespace

bool ThermocoupleToTemperature(int32_t typeCode, double coldJunctionCelsius, int32_t count,
                               int32_t offsetCounts, double gain, double& celsius) {
    const TTable* table = TableOf(typeCode);
    if (table == nullptr || count <= kCountMin || count >= kCountMax)
        return false;
    double coldJunctionEmf = 0;
    if (!EmfOf(*table, coldJunctionCelsius, coldJunctionEmf))
        return false;
    const double emf =
        coldJunctionEmf + count * kMillivoltsPerCount * gain - offsetCounts * kMillivoltsPerCount;
    // A corrupt gain (NaN, infinity) fails the range check inside TemperatureOf.
    return TemperatureOf(*table, emf, celsius);
}

bool ThermocoupleEmf(int32_t typeCode, double celsius, double& millivolts) {
    const TTable* table = TableOf(typeCode);
    return table != nullptr && EmfOf(*table, celsius, millivolts);
}
