#include "data/DropLedger.h"

#include <utility>

void CDropLedger::Reset() {
    m_total = 0;
    m_episodes.fill(TEpisode{});
    m_notices.clear();
}

void CDropLedger::Dropped(int unit, uint32_t count, EDropCause cause, uint32_t record) {
    if (count == 0)
        return;
    m_total += count;
    if (unit < 1 || unit > CRecordPlacer::kUnits)
        return;
    TEpisode& episode = m_episodes[static_cast<size_t>(unit)];
    episode.quietSamples = 0;
    if (episode.open)
        return;
    episode.open = true;
    m_notices.push_back(TDropNotice{unit, cause, record});
}

void CDropLedger::Placed(int unit, uint32_t count) {
    if (unit < 1 || unit > CRecordPlacer::kUnits)
        return;
    TEpisode& episode = m_episodes[static_cast<size_t>(unit)];
    if (!episode.open)
        return;
    episode.quietSamples += count;
    if (episode.quietSamples >= kQuietSamples)
        episode = TEpisode{};
}

std::vector<TDropNotice> CDropLedger::TakeNotices() {
    return std::exchange(m_notices, {});
}
