#include "files/OffsetCapture.h"

#include <limits>

#include "data/Thermocouple.h"
#include "data/UnitReportLayout.h"

namespace VEK {

namespace {

// Kind, unit, battery, count, sequence and one sample.
constexpr size_t kOneSampleSize = UnitReport::kHeaderSize + UnitReport::kSampleSize;

int32_t FirstCount(std::span<const uint8_t> report) {
    return UnitReport::ReadSigned24(report.data() + UnitReport::kHeaderSize + UnitReport::kCountInSample);
}

}  // namespace

COffsetCapture::COffsetCapture(TOffsetTable& table) : m_table(table) {
    m_inUse.set();
}

void COffsetCapture::SetChannelsInUse(const std::vector<int>& channels) {
    std::lock_guard lock(m_lock);
    m_inUse.reset();
    for (int channel : channels)
        if (IsOffsetChannel(channel))
            m_inUse.set(channel);
}

void COffsetCapture::Open(int row, std::function<void()> nothingPending) {
    std::lock_guard lock(m_lock);
    m_pending.reset();
    m_row = row;
    for (int channel = 1; channel <= TOffsetTable::kChannels; ++channel) {
        if (row == kAllRow ? !m_inUse.test(channel) : row != channel)
            continue;
        TOffsetEntry& entry = m_table.entries[channel];
        entry.offset = std::numeric_limits<double>::infinity();
        entry.hasData = true;
        m_pending.set(channel);
    }
    m_table.modified = true;
    m_nothingPending = std::move(nothingPending);
    m_open = true;
}

std::vector<int> COffsetCapture::Close() {
    std::lock_guard lock(m_lock);
    m_open = false;
    m_nothingPending = nullptr;
    std::vector<int> left;
    for (int channel = 1; channel <= TOffsetTable::kChannels; ++channel)
        if (m_pending.test(channel))
            left.push_back(channel);
    m_pending.reset();
    return left;
}

void COffsetCapture::CaptureOffset(std::span<const uint8_t> report) {
    if (report.size() < kOneSampleSize || report[0] != UnitReport::kMeasurementKind ||
        (report[UnitReport::kCountOffset] & 0x0F) == 0)
        return;
    const int unit = report[UnitReport::kUnitOffset];
    if (!IsOffsetChannel(unit))
        return;
    const int32_t count = FirstCount(report);
    if (count == kCountMax || count == kCountMin)
        return;
    std::function<void()> nothingPending;
    {
        std::lock_guard lock(m_lock);
        if (!m_open || (m_row != kAllRow && m_row != unit))
            return;
        const bool wasPending = m_pending.test(unit);
        TOffsetEntry& entry = m_table.entries[unit];
        entry.offset = count;
        entry.hasData = true;
        m_table.modified = true;
        m_pending.reset(unit);
        if (wasPending && m_pending.none())
            nothingPending = m_nothingPending;
    }
    if (nothingPending)
        nothingPending();
}

bool COffsetCapture::IsOpen() const {
    std::lock_guard lock(m_lock);
    return m_open;
}

size_t COffsetCapture::PendingCount() const {
    std::lock_guard lock(m_lock);
    return m_pending.count();
}

}  // namespace VEK
