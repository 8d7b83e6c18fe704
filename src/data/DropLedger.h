#pragma once
// Counts the samples of a run that could not be placed on a record, and tells each unit's episode
// of them once: a unit dropping samples again and again (a unit running fast drops one every so
// often) is told about when it begins, and again only after it has placed many samples without a
// drop since.
#include <array>
#include <cstdint>
#include <vector>

#include "data/RecordPlacer.h"

struct TDropNotice {
    int unit = 0;
    EDropCause cause = EDropCause::kNone;
    uint32_t record = 0;  // the run's record count when it began
};

class CDropLedger {
public:
    // Samples placed without a drop that end a unit's episode.
    static constexpr uint32_t kQuietSamples = 1024;

    // A new run: nothing dropped, no episode, no notice waiting.
    void Reset();
    void Dropped(int unit, uint32_t count, EDropCause cause, uint32_t record);
    void Placed(int unit, uint32_t count);
    uint64_t Total() const { return m_total; }
    std::vector<TDropNotice> TakeNotices();

private:
    struct TEpisode {
        bool open = false;
        uint32_t quietSamples = 0;
    };
    uint64_t m_total = 0;
    std::array<TEpisode, CRecordPlacer::kUnits + 1> m_episodes{};
    std::vector<TDropNotice> m_notices;
};
