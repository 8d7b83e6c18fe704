#include "data/MeasurementChannel.h"

#include <algorithm>
#include <utility>

size_t CMeasurementChannel::ReadingCount() const {
    std::lock_guard lock(m_readingsLock);
    return m_readings.Size();
}

int16_t CMeasurementChannel::Reading(size_t index) const {
    std::lock_guard lock(m_readingsLock);
    return index < m_readings.Size() ? m_readings.Get(index).Tenths() : kReadingLost;
}

void CMeasurementChannel::SetReading(size_t index, int16_t tenths) {
    if (m_frozen)
        return;
    std::lock_guard lock(m_readingsLock);
    const size_t size = m_readings.Size();
    m_readings.Set(index, CMeasurementValue(tenths));
    if (m_readings.Size() != size)
        m_summary.Resize(m_readings);
    m_summary.Recompute(m_readings, index);
}

size_t CMeasurementChannel::FillReadings(size_t first, const int16_t* tenths, size_t count) {
    if (m_frozen)
        return 0;
    std::lock_guard lock(m_readingsLock);
    if (count == 0)
        return 0;
    const size_t size = m_readings.Size();
    if (size < first + count)
        m_readings.Resize(first + count);
    // Block by block: a loaded file fills millions of readings.
    size_t end = 0;
    for (size_t i = 0; i < count;) {
        size_t length = 0;
        CMeasurementValue* run = m_readings.Run(first + i, length);
        length = std::min(length, count - i);
        for (size_t j = 0; j < length; ++j) {
            if (!run[j].IsValid()) {
                run[j] = CMeasurementValue(tenths[i + j]);
                end = first + i + j + 1;
            }
        }
        i += length;
    }
    if (m_readings.Size() != size)
        m_summary.Resize(m_readings);
    // Only gaps were filled, so the extremes above them can only widen.
    m_summary.Widen(m_readings, first, end);
    return end;
}

size_t CMeasurementChannel::CopyReadings(size_t first, size_t count, int16_t* out) const {
    std::lock_guard lock(m_readingsLock);
    size_t copied = 0;
    for (; copied < count && first + copied < m_readings.Size(); ++copied) {
        out[copied] = m_readings.Get(first + copied).Tenths();
    }
    return copied;
}

void CMeasurementChannel::ResizeReadings(size_t count) {
    if (m_frozen)
        return;
    std::lock_guard lock(m_readingsLock);
    m_readings.Resize(count);
    m_summary.Resize(m_readings);
}

void CMeasurementChannel::RemoveFrontReadings(size_t count) {
    if (m_frozen)
        return;
    std::lock_guard lock(m_readingsLock);
    m_readings.RemoveFront(count);
    // Every node now covers other records.
    m_summary.Rebuild(m_readings);
}

void CMeasurementChannel::ClearReadings() {
    if (m_frozen)
        return;
    std::lock_guard lock(m_readingsLock);
    m_readings.Clear();
    m_summary.Clear();
}

void CMeasurementChannel::Envelope(const TEnvelopeGrid& grid, size_t columnBegin, size_t columnEnd,
                                   TReadingExtremes* out) const {
    std::lock_guard lock(m_readingsLock);
    m_summary.Envelope(m_readings, grid, columnBegin, columnEnd, out);
}

TReadingExtremes CMeasurementChannel::Extremes(size_t first, size_t end) const {
    std::lock_guard lock(m_readingsLock);
    return m_summary.Extremes(m_readings, first, end);
}

TChannelStatistics CMeasurementChannel::Statistics(uint32_t a, uint32_t b) const {
    const size_t first = std::min(a, b);
    const size_t end = size_t{std::max(a, b)} + 1;
    TChannelStatistics statistics;
    statistics.records = static_cast<uint32_t>(end - first);
    std::lock_guard lock(m_readingsLock);
    const auto at = [this](size_t i) {
        return i < m_readings.Size() ? m_readings.Get(i).Tenths() : kReadingLost;
    };
    statistics.atA = at(a);
    statistics.atB = at(b);
    statistics.extremes = m_summary.Extremes(m_readings, first, end);
    if (!statistics.extremes.Empty()) {
        statistics.minRecord = static_cast<uint32_t>(
            m_summary.FirstIndexOf(m_readings, first, end, statistics.extremes.min, true));
        statistics.maxRecord = static_cast<uint32_t>(
            m_summary.FirstIndexOf(m_readings, first, end, statistics.extremes.max, false));
    }
    const TReadingSum total = m_summary.Sum(m_readings, first, end);
    statistics.sum = total.sum;
    statistics.valid = static_cast<uint32_t>(total.count);
    return statistics;
}

size_t CMeasurementChannel::SummaryBytes() const {
    std::lock_guard lock(m_readingsLock);
    return m_summary.Bytes();
}

void CMeasurementChannel::TakeContents(CMeasurementChannel& other) {
    if (m_frozen || other.m_frozen)
        return;
    SetInUse(other.InUse());
    SetThermocoupleType(other.ThermocoupleType());
    SetComment(other.Comment());
    std::scoped_lock lock(m_readingsLock, other.m_readingsLock);
    std::swap(m_readings, other.m_readings);
    std::swap(m_summary, other.m_summary);
}
