#include "controller/ChannelNotices.h"

#include <algorithm>

bool CChannelNotices::AddReadings(int channel, uint32_t firstIndex, uint32_t count) {
    if (channel < 1 || channel > kChannels || count == 0)
        return false;
    std::lock_guard lock(m_lock);
    TEntry& entry = m_entries[static_cast<size_t>(channel)];
    TNotice& notice = entry.notice;
    if (notice.count == 0) {
        notice.firstIndex = firstIndex;
        notice.count = count;
    } else {
        // The union of both ranges: the window thread looks at every record in it.
        const uint64_t end =
            std::max<uint64_t>(uint64_t{notice.firstIndex} + notice.count, uint64_t{firstIndex} + count);
        notice.firstIndex = std::min(notice.firstIndex, firstIndex);
        notice.count = static_cast<uint32_t>(end - notice.firstIndex);
    }
    return StartWaiting(entry);
}

bool CChannelNotices::AddInformation(int channel) {
    if (channel < 1 || channel > kChannels)
        return false;
    std::lock_guard lock(m_lock);
    TEntry& entry = m_entries[static_cast<size_t>(channel)];
    entry.notice.information = true;
    return StartWaiting(entry);
}

bool CChannelNotices::StartWaiting(TEntry& entry) {
    if (entry.waiting)
        return false;
    entry.waiting = true;
    entry.since = TClock::now();
    ++m_waiting;
    return true;
}

CChannelNotices::TNotice CChannelNotices::Take(int channel) {
    if (channel < 1 || channel > kChannels)
        return {};
    std::lock_guard lock(m_lock);
    TEntry& entry = m_entries[static_cast<size_t>(channel)];
    const TNotice notice = entry.notice;
    if (entry.waiting)
        --m_waiting;
    entry = TEntry{};
    return notice;
}

bool CChannelNotices::WaitingLongerThan(std::chrono::milliseconds age) const {
    const TClock::time_point before = TClock::now() - age;
    std::lock_guard lock(m_lock);
    if (m_waiting == 0)
        return false;
    return std::any_of(m_entries.begin(), m_entries.end(),
                       [&](const TEntry& entry) { return entry.waiting && entry.since < before; });
}
