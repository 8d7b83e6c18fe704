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
    const std::optional<CMeasurementDataManager::TAppended> appended = store.Append(*decoded);
    if (!appended)
        return std::nullopt;
    return TStoredReport{*decoded, appended->first, appended->count};
}
