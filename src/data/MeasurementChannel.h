#pragma once
// One channel of the record store: its attributes and its series of readings.
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <string>

#include "data/BlockLinkVectorT.h"
#include "data/ChannelStatistics.h"
#include "data/MeasurementValue.h"
#include "data/Reading.h"
#include "data/ReadingSummary.h"
#include "data/Thermocouple.h"
#include "support/CopyImpossible.h"

class CMeasurementChannel : private VEK::CCopyImpossible {
public:
    CMeasurementChannel() = default;
    // A record that ignores every change: the stand-in for channel numbers outside 1..100.
    struct TFrozen {};
    explicit CMeasurementChannel(TFrozen) : m_frozen(true) {}

    // Attributes read by the receive thread while the window thread may change them: atomics.
    bool InUse() const { return m_inUse.load(std::memory_order_relaxed); }
    void SetInUse(bool inUse) {
        if (!m_frozen)
            m_inUse.store(inUse, std::memory_order_relaxed);
    }
    int32_t ThermocoupleType() const { return m_thermocoupleType.load(std::memory_order_relaxed); }
    void SetThermocoupleType(int32_t code) {
        if (!m_frozen)
            m_thermocoupleType.store(code, std::memory_order_relaxed);
    }
    // Cold-junction temperature of the latest measurement report, tenths of a degC.
    int16_t InternalTemperature() const { return m_internalTemperature.load(std::memory_order_relaxed); }
    void SetInternalTemperature(int16_t tenths) {
        if (!m_frozen)
            m_internalTemperature.store(tenths, std::memory_order_relaxed);
    }
    // Window thread only.
    const std::string& Comment() const { return m_comment; }
    void SetComment(std::string comment) {
        if (!m_frozen)
            m_comment = std::move(comment);
    }

    // The series; every access takes the series lock. Lost at or beyond the end.
    size_t ReadingCount() const;
    int16_t Reading(size_t index) const;
    // Grows the series with Lost up to index when needed.
    void SetReading(size_t index, int16_t tenths);
    // Stores the readings from index first on, each only where no valid reading is stored yet, so
    // a repeated or late report fills gaps and never overwrites. Returns one past the highest index
    // stored, 0 when nothing was stored.
    size_t FillReadings(size_t first, const int16_t* tenths, size_t count);
    // Copies up to count readings from index first; returns how many existed.
    size_t CopyReadings(size_t first, size_t count, int16_t* out) const;
    void ResizeReadings(size_t count);
    void RemoveFrontReadings(size_t count);
    void ClearReadings();
    // Takes the other channel's use, type, comment and readings; the other gets this one's
    // readings. For data read into a store of their own off the window thread.
    void TakeContents(CMeasurementChannel& other);

    // The extremes of the valid readings in the grid's columns columnBegin .. columnEnd − 1, into
    // out[0 ..], under one lock: a graph column of many records costs a few summary nodes.
    void Envelope(const TEnvelopeGrid& grid, size_t columnBegin, size_t columnEnd,
                  TReadingExtremes* out) const;
    // The extremes of the valid readings first .. end − 1.
    TReadingExtremes Extremes(size_t first, size_t end) const;
    // The statistics of records a and b and those between them, under one lock: the summary's
    // nodes and at most two nodes' worth of readings at each end, whatever the span. Records past
    // the series have no reading. Channel and comment are the caller's.
    TChannelStatistics Statistics(uint32_t a, uint32_t b) const;
    size_t SummaryBytes() const;

private:
    const bool m_frozen = false;
    std::atomic<bool> m_inUse{false};
    std::atomic<int32_t> m_thermocoupleType{kThermocoupleK};
    std::atomic<int16_t> m_internalTemperature{kReadingLost};
    std::string m_comment;

    mutable std::mutex m_readingsLock;
    VEK::CBlockLinkVectorT<CMeasurementValue> m_readings;
    CReadingSummary m_summary;  // follows m_readings under the same lock
};
