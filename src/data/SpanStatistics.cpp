#include "data/SpanStatistics.h"

#include "data/SamplingRate.h"

TSpanStatistics SpanStatistics(const CMeasurementDataManager& store, uint32_t a, uint32_t b,
                               const std::vector<int32_t>& channels) {
    TSpanStatistics span;
    span.a = a;
    span.b = b;
    span.periodMs = SamplingPeriodMilliseconds(store.SamplingRateCode());
    span.temperatureUnit = store.TemperatureUnit();
    span.startTime = store.StartTime();
    span.startTime.millisecond = 0;
    span.channels.reserve(channels.size());
    for (int32_t number : channels) {
        const CMeasurementChannel& channel = store.Channel(number);
        TChannelStatistics statistics = channel.Statistics(a, b);
        statistics.channel = number;
        statistics.comment = channel.Comment();
        span.channels.push_back(std::move(statistics));
    }
    return span;
}
