#include "data/StoreMeasurementReport.h"

#include "data/MeasurementDataManager.h"
#include "data/MeasurementReport.h"
#include "data/UnitReportLayout.h"

std::optional<TStoredReport> StoreMeasurementReport(CMeasurementDataManager& store,
                                                    std::span<const uint8_t> report) {
    if (report.size() <= UnitReport::kUnitOffset)
        return std::nullopt;
    const int unit = report[UnitReport::kUnitOffset];
    const std::optional<TDecodedReport> decoded = DecodeMeasurementReport(
        report, store.Channel(unit).ThermocoupleType(), store.UnitInformation(unit), store.TemperatureUnit());
    if (!decoded)
        return std::nullopt;
    const std::optional<uint32_t> recordIndex = store.Append(*decoded);
    if (!recordIndex)
        return std::nullopt;
    return TStoredReport{*decoded, *recordIndex};
}
