#pragma once
// Widens the 8-bit sequence numbers of the units' reports into record positions of the run, per
// unit. A unit numbers its samples continuously, so a report is placed against that unit's own
// history: its last sample is expected between the unit's newest sample and where the record
// clock's progress since then puts it. Where that names one position, the report goes there, so a
// unit lagging far behind the others is never taken for one that wrapped ahead. Otherwise (a unit
// silent for long, or far from where it was expected) the report goes only where the clock's own
// window (up to 40 ahead of the counter, up to 215 behind) agrees with the unit's pace, and is
// dropped where they disagree. A unit not yet heard in the run is placed by the clock alone.
#include <array>
#include <cstdint>
#include <optional>

class CSequenceUnwrapper {
public:
    static constexpr int kUnits = 100;
    // How far a report may lie before the unit's newest sample (a late or repeated report), or
    // beyond where the record clock puts the unit (a unit whose clock runs ahead).
    static constexpr int64_t kSlack = 64;
    // A unit heard within fewer records than this is placed by its history when that names one
    // position; a unit silent for longer only where its history and the clock agree.
    static constexpr int64_t kHeardRecently = 256;

    // A new run. While the units go on numbering (a run started while measuring) their histories
    // stay; otherwise the numbering starts afresh and they are forgotten. The dropped count restarts.
    void BeginRun(bool numberingGoesOn);

    // Record index (relative to base) of the first of sampleCount samples that unit reported with
    // the sequence byte, or nothing when the report cannot be placed with confidence or lies before
    // base; then its samples count as dropped. A report placed ahead of the counter moves it there.
    std::optional<uint32_t> RecordIndex(int unit, uint8_t sequence, uint32_t sampleCount, uint32_t& counter,
                                        uint32_t base);

    // Samples refused since the run began.
    uint64_t DroppedSamples() const { return m_droppedSamples; }

private:
    struct THistory {
        bool known = false;
        int64_t newest = 0;     // position of the newest sample the unit reported
        int64_t counterAt = 0;  // the counter when that sample arrived
    };

    // Position of the first sample, or nothing.
    static std::optional<int64_t> Place(const THistory& history, uint8_t sequence, int64_t span,
                                        uint32_t counter);

    std::array<THistory, kUnits + 1> m_units{};  // index = unit, 0 unused
    uint64_t m_droppedSamples = 0;
};
