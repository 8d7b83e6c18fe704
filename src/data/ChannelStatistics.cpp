#include "data/ChannelStatistics.h"

namespace {

// numerator / denominator rounded half away from zero; denominator not 0.
int64_t RoundedQuotient(int64_t numerator, int64_t denominator) {
    if (denominator < 0) {
        numerator = -numerator;
        denominator = -denominator;
    }
    const int64_t magnitude =
        ((numerator < 0 ? -numerator : numerator) * 2 + denominator) / (2 * denominator);
    return numerator < 0 ? -magnitude : magnitude;
}

}  // namespace

std::optional<int32_t> TChannelStatistics::DeltaTenths() const {
    if (!IsValidReading(atA) || !IsValidReading(atB))
        return std::nullopt;
    return int32_t{atB} - int32_t{atA};
}

std::optional<int64_t> TChannelStatistics::MeanHundredths() const {
    if (valid == 0)
        return std::nullopt;
    return RoundedQuotient(sum * 10, valid);
}

std::optional<int64_t> TChannelStatistics::RatePerMinuteHundredths(int64_t spanMs) const {
    const std::optional<int32_t> delta = DeltaTenths();
    if (!delta || spanMs == 0)
        return std::nullopt;
    // Tenths per millisecond to hundredths per minute: × 10 × 60000.
    return RoundedQuotient(int64_t{*delta} * 600000, spanMs);
}
