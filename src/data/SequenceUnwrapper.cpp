#include "data/SequenceUnwrapper.h"

#include "data/MeasurementReport.h"

namespace {

// The first position from `from` on whose low byte is `low`.
int64_t FirstFrom(int64_t from, uint8_t low) {
    return from + static_cast<uint8_t>(low - static_cast<uint8_t>(from));
}

}  // namespace

void CSequenceUnwrapper::BeginRun(bool numberingGoesOn) {
    if (!numberingGoesOn)
        m_units.fill(THistory{});
    m_droppedSamples = 0;
}

std::optional<int64_t> CSequenceUnwrapper::Place(const THistory& history, uint8_t sequence, int64_t span,
                                                 uint32_t counter) {
    uint32_t unmoved = counter;
    const int64_t byClock = UnwrapSequence(unmoved, sequence);
    if (!history.known)
        return byClock;
    // The report's last sample is expected from the unit's newest (reports delayed on the way) up
    // to where the clock's progress since puts it (reports in real time), give or take the slack.
    const int64_t elapsed = int64_t{counter} - history.counterAt;
    const int64_t expected = history.newest + elapsed;
    const auto lastSequence = static_cast<uint8_t>(sequence + span);
    if (elapsed < kHeardRecently) {
        const int64_t last = FirstFrom(history.newest - kSlack, lastSequence);
        const int64_t end = expected + kSlack;
        if (last < end && last + 256 >= end)
            return last - span;
    }
    // No single answer, or silent for long: only the place that both the unit's own pace and the
    // clock give.
    const int64_t nearest = FirstFrom(expected - 128, lastSequence) - span;
    if (nearest != byClock)
        return std::nullopt;
    return byClock;
}

std::optional<uint32_t> CSequenceUnwrapper::RecordIndex(int unit, uint8_t sequence, uint32_t sampleCount,
                                                        uint32_t& counter, uint32_t base) {
    if (unit < 1 || unit > kUnits)
        return std::nullopt;
    THistory& history = m_units[static_cast<size_t>(unit)];
    const int64_t span = sampleCount > 0 ? int64_t{sampleCount} - 1 : 0;
    const std::optional<int64_t> first = Place(history, sequence, span, counter);
    if (!first || *first < int64_t{base}) {
        m_droppedSamples += sampleCount;
        return std::nullopt;
    }
    if (*first > int64_t{counter})
        counter = static_cast<uint32_t>(*first);
    const int64_t last = *first + span;
    if (sampleCount > 0 && (!history.known || last > history.newest))
        history = THistory{true, last, int64_t{counter}};
    return static_cast<uint32_t>(*first - base);
}
