#include "data/RecordPlacer.h"

#include <algorithm>
#include <optional>

#include "data/MeasurementReport.h"
#include "data/Reading.h"

namespace {

// The first position from `from` on whose low byte is `low`.
int64_t FirstFrom(int64_t from, uint8_t low) {
    return from + static_cast<uint8_t>(low - static_cast<uint8_t>(from));
}

}  // namespace

void CRecordPlacer::BeginRun(bool numberingGoesOn) {
    for (TUnit& unit : m_units) {
        if (numberingGoesOn)
            unit.waiting.present = false;
        else
            unit = TUnit{};
    }
}

uint32_t CRecordPlacer::GiveUpWaiting() {
    uint32_t count = 0;
    for (TUnit& unit : m_units) {
        if (unit.waiting.present)
            count += unit.waiting.count;
        unit.waiting.present = false;
    }
    return count;
}

int64_t CRecordPlacer::OffsetOf(const TUnit& unit, int64_t position) {
    for (size_t i = unit.anchorCount; i-- > 1;) {
        if (position >= unit.anchors[i].from)
            return unit.anchors[i].offset;
    }
    return unit.anchors[0].offset;
}

void CRecordPlacer::AddAnchor(TUnit& unit, int64_t from, int64_t offset) {
    if (unit.anchorCount == kAnchors) {
        std::rotate(unit.anchors.begin(), unit.anchors.begin() + 1, unit.anchors.end());
        --unit.anchorCount;
    }
    unit.anchors[unit.anchorCount++] = TAnchor{from, offset};
}

std::optional<int64_t> CRecordPlacer::Widen(const TUnit& unit, const TReport& report,
                                            const TRecordClock& clock) {
    const int64_t span = int64_t{report.count} - 1;
    if (!unit.known) {
        // A unit not heard in the run yet numbers like the clock, as every unit does from the
        // start of polling: its report lies within a late report's reach of the ticks.
        uint32_t counter = static_cast<uint32_t>(clock.ticks);
        const int64_t last = UnwrapSequence(counter, static_cast<uint8_t>(report.lastSequence - span)) + span;
        const bool fits = last >= clock.ticks - kLateReach - 1 && last <= clock.ticks + kSlack;
        return fits ? std::optional<int64_t>(last) : std::nullopt;
    }
    // By the unit's own pace: one sample for every period the link brought reports since its
    // newest; late and repeated reports reach back, pending samples make it lag.
    const uint64_t livePeriods = clock.live - unit.liveAt;
    const int64_t expected = unit.newest + static_cast<int64_t>(livePeriods);
    const int64_t low = std::max(unit.newest - kLateReach, expected - 2 * kLateReach);
    const int64_t high = expected + kLateReach + kSlack;
    if (const int64_t last = FirstFrom(low, report.lastSequence); last <= high)
        return last;
    // The link brought nothing for a while: the reports held back continue where the unit stood
    // (above), while a unit that was silent along with the others reports from the ticks' present.
    const int64_t quietPeriods = (clock.ticks - unit.tickAt) - static_cast<int64_t>(livePeriods);
    if (quietPeriods > kLateReach) {
        const int64_t offset = OffsetOf(unit, unit.newest + 1);
        if (const int64_t last = FirstFrom(clock.ticks - kLateReach - 1 + offset, report.lastSequence);
            last <= clock.ticks + kSlack + offset)
            return last;
    }
    return std::nullopt;
}

bool CRecordPlacer::JumpsAhead(const TUnit& unit, int64_t last, const TRecordClock& clock) {
    if (!unit.known || last <= unit.newest)
        return false;
    const int64_t lead = last - OffsetOf(unit, last) - clock.ticks;
    const int64_t previousLead = unit.newest - OffsetOf(unit, unit.newest) - unit.tickAt;
    return lead > std::max<int64_t>(previousLead, 0) + 1;
}

bool CRecordPlacer::Contradicts(const TUnit& unit, const TReport& report, int64_t last,
                                const TStoredReading& stored) {
    if (!unit.known)
        return false;
    const int64_t first = last - (report.count - 1);
    for (uint32_t i = 0; i < report.count && first + i <= unit.newest; ++i) {
        const int64_t position = first + i;
        const int16_t reading = stored(position - OffsetOf(unit, position));
        if (IsValidReading(reading) && reading != report.tenths[i])
            return true;
    }
    return false;
}

void CRecordPlacer::PlaceAt(TUnit& unit, const TReport& report, int64_t last, const TRecordClock& clock,
                            TPlacement& placement) {
    const int64_t first = last - (report.count - 1);
    const bool wasKnown = unit.known;
    if (!wasKnown) {
        unit.known = true;
        unit.anchorCount = 0;
        AddAnchor(unit, first, 0);
        unit.newest = first - 1;
        unit.highRecord = first - 1;
    }
    const int64_t oldNewest = unit.newest;
    if (wasKnown && last > oldNewest) {
        const int64_t offset = OffsetOf(unit, last);
        const int64_t lastRecord = last - offset;
        const int64_t from = std::max(first, oldNewest + 1);
        // Samples skipped (the unit sends only its newest when too many wait), or the one sample
        // after the one it sent last period: the report was made in this period.
        const bool current = first > oldNewest + 1 ||
                             (report.count == 1 && first == oldNewest + 1 && unit.tickAt + 1 >= clock.ticks);
        if (lastRecord > clock.ticks + kSlack) {
            AddAnchor(unit, from, offset + (lastRecord - clock.ticks));
        } else if (current && lastRecord < clock.ticks - kBehind && clock.lastDead < lastRecord) {
            AddAnchor(unit, from, offset - (clock.ticks - lastRecord));
        }
    }
    for (uint32_t i = 0; i < report.count; ++i) {
        const int64_t position = first + i;
        const int64_t record = position - OffsetOf(unit, position);
        // Moved back to the ticks: this new sample's record is an earlier sample's already.
        if (position > oldNewest && record <= unit.highRecord) {
            Drop(placement, 1, EDropCause::kAheadOfClock);
            continue;
        }
        placement.samples[placement.count++] = TSample{record, report.tenths[i]};
        unit.highRecord = std::max(unit.highRecord, record);
    }
    if (last > oldNewest) {
        unit.newest = last;
        unit.liveAt = clock.live;
        unit.tickAt = clock.ticks;
    }
}

void CRecordPlacer::Jump(TUnit& unit, const TReport& report, const TRecordClock& clock,
                         TPlacement& placement) {
    TWaiting& waiting = unit.waiting;
    if (waiting.present) {
        const uint8_t gap = static_cast<uint8_t>(report.lastSequence - waiting.lastSequence);
        if (gap >= 1 && gap <= (clock.ticks - waiting.tick) + kLateReach + kSlack) {
            // Confirmed: the unit numbers anew. Its newest sample is the present one.
            const int64_t highRecord = unit.known ? unit.highRecord : clock.base - 1;
            const int64_t last = FirstFrom(unit.known ? unit.newest + 1 : clock.ticks, report.lastSequence);
            const int64_t offset = last - clock.ticks;
            const int64_t waitingLast = last - gap;
            const int64_t waitingFirst = waitingLast - (waiting.count - 1);
            const int64_t first = last - (report.count - 1);
            unit.known = true;
            unit.highRecord = highRecord;
            unit.anchorCount = 0;
            AddAnchor(unit, std::min(waitingFirst, first), offset);
            const auto put = [&](int64_t position, int16_t tenths) {
                const int64_t record = position - offset;
                if (record <= highRecord) {
                    Drop(placement, 1, EDropCause::kUnplaced);
                } else {
                    placement.samples[placement.count++] = TSample{record, tenths};
                    unit.highRecord = std::max(unit.highRecord, record);
                }
            };
            for (uint32_t i = 0; i < waiting.count; ++i) put(waitingFirst + i, waiting.tenths[i]);
            for (uint32_t i = 0; i < report.count; ++i) {
                if (first + i > waitingLast)
                    put(first + i, report.tenths[i]);
            }
            unit.newest = last;
            unit.liveAt = clock.live;
            unit.tickAt = clock.ticks;
            waiting.present = false;
            return;
        }
        Drop(placement, waiting.count, EDropCause::kUnplaced);
    }
    waiting.present = true;
    waiting.lastSequence = report.lastSequence;
    waiting.count = report.count;
    std::copy_n(report.tenths, report.count, waiting.tenths.begin());
    waiting.tick = clock.ticks;
}

void CRecordPlacer::Drop(TPlacement& placement, uint32_t count, EDropCause cause) {
    placement.dropped += count;
    placement.cause = cause;
}

CRecordPlacer::TPlacement CRecordPlacer::Place(int unit, uint8_t sequence, uint32_t sampleCount,
                                               const int16_t* tenths, const TRecordClock& clock,
                                               const TStoredReading& stored) {
    TPlacement placement;
    if (unit < 1 || unit > kUnits || sampleCount == 0)
        return placement;
    TUnit& state = m_units[static_cast<size_t>(unit)];
    const uint32_t count = std::min(sampleCount, kMaxSamples);
    const TReport report{static_cast<uint8_t>(sequence + count - 1), count, tenths};
    const std::optional<int64_t> last = Widen(state, report, clock);
    if (!last || Contradicts(state, report, *last, stored) || JumpsAhead(state, *last, clock)) {
        Jump(state, report, clock, placement);
        return placement;
    }
    // It fitted: a report still waiting was a stray.
    if (state.waiting.present) {
        Drop(placement, state.waiting.count, EDropCause::kUnplaced);
        state.waiting.present = false;
    }
    PlaceAt(state, report, *last, clock, placement);
    return placement;
}
