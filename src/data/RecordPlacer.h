#pragma once
// Places the samples of the units' reports on the records of the run. The record clock's ticks are
// the time base: a record is one sampling period of the clock, and no sample is ever filed more
// than a small slack ahead of the ticks counted so far. Each unit numbers its samples with 8 bits;
// the placer widens a unit's numbers against that unit's own history (its newest sample, and how
// long the link has brought reports since) and maps them to records with the unit's own offset,
// which anchors its numbering to the ticks:
// - a unit in step with the clock keeps its offset, so sample k of the run lands on record k;
// - a unit running fast is moved back to the ticks when it drifts ahead of them further than the
//   slack; the samples that then have no record of their own are dropped;
// - a unit running slow, or one whose numbering jumped, is moved forward to the ticks once a
//   report that must be current (it skips samples, or carries just the sample after the one the
//   unit sent in the last period) comes on a link that has brought reports in every period since;
// - a report that fits nowhere, or lies further ahead of the ticks than the unit's drift explains
//   (a restart, a stray far-late report), waits for the unit's next report: when that one follows it, the
//   unit is anchored anew with its newest sample at the current tick; otherwise the waiting report is
//   dropped.
// A stall of the link (no reports at all for a while, then the held-back reports at once) is told
// from a silence of one unit by the periods that brought no report: the stalled reports continue
// each unit's numbering where it stood.
#include <array>
#include <cstdint>
#include <functional>
#include <optional>

// What the placer knows of the record clock when a report arrives.
struct TRecordClock {
    int64_t ticks = 0;      // ticks counted: the record of the period now running (absolute)
    int64_t base = 0;       // record 0 of the run
    uint64_t live = 0;      // periods so far that brought at least one report
    int64_t lastDead = -1;  // the latest period that brought none; -1: none
};

// Why samples were given up.
enum class EDropCause : uint8_t {
    kNone,
    kAheadOfClock,  // the unit produced more samples than the clock has records
    kUnplaced,      // the number fitted nowhere and no later report confirmed it
    kBeforeStart,   // before record 0 of the run
    kRowCompleted,  // arrived after its record had been completed and passed on
};

class CRecordPlacer {
public:
    static constexpr int kUnits = 100;
    static constexpr uint32_t kMaxSamples = 4;
    // How far a sample may be filed ahead of the ticks counted.
    static constexpr int64_t kSlack = 2;
    // The longest reach of a late report, in records: a unit that missed cycles sends up to ten
    // pending samples, oldest first.
    static constexpr int64_t kLateReach = 10;
    // A report that must be current, further behind the ticks than this, moves its unit forward.
    static constexpr int64_t kBehind = 3;

    struct TSample {
        int64_t record = 0;  // absolute
        int16_t tenths = 0;
    };
    // What a report leads to: samples to store (the report's, and those of a waiting report it
    // confirmed), and samples given up.
    struct TPlacement {
        std::array<TSample, 2 * kMaxSamples> samples{};
        uint32_t count = 0;
        uint32_t dropped = 0;
        EDropCause cause = EDropCause::kNone;
    };
    // The reading stored at an absolute record of the reporting unit's channel.
    using TStoredReading = std::function<int16_t(int64_t record)>;

    // A new run. While the units go on numbering (a run started while measuring) their histories
    // stay; otherwise the numbering starts afresh and they are forgotten.
    void BeginRun(bool numberingGoesOn);
    TPlacement Place(int unit, uint8_t sequence, uint32_t sampleCount, const int16_t* tenths,
                     const TRecordClock& clock, const TStoredReading& stored);
    // The end of the run: the samples of reports still waiting, given up.
    uint32_t GiveUpWaiting();

private:
    static constexpr size_t kAnchors = 4;
    // Positions from `from` on map to records by `offset`: record = position - offset.
    struct TAnchor {
        int64_t from = 0;
        int64_t offset = 0;
    };
    // A report whose number fitted nowhere.
    struct TWaiting {
        bool present = false;
        uint8_t lastSequence = 0;
        uint32_t count = 0;
        std::array<int16_t, kMaxSamples> tenths{};
        int64_t tick = 0;
    };
    struct TUnit {
        bool known = false;
        int64_t newest = 0;      // position of the newest sample placed
        uint64_t liveAt = 0;     // live periods when it came
        int64_t tickAt = 0;      // ticks when it came
        int64_t highRecord = 0;  // the highest record it filled
        std::array<TAnchor, kAnchors> anchors{};
        size_t anchorCount = 0;
        TWaiting waiting;
    };
    struct TReport {
        uint8_t lastSequence;
        uint32_t count;
        const int16_t* tenths;
    };

    static int64_t OffsetOf(const TUnit& unit, int64_t position);
    static void AddAnchor(TUnit& unit, int64_t from, int64_t offset);
    // Position of the report's last sample by the unit's history; nothing when none fits.
    static std::optional<int64_t> Widen(const TUnit& unit, const TReport& report, const TRecordClock& clock);
    // A sample already stored where the report would put it differs: not a repeat, a jump.
    static bool Contradicts(const TUnit& unit, const TReport& report, int64_t last,
                            const TStoredReading& stored);
    // Ahead of the ticks by more than a unit drifting ahead gets in one report: a stray report, or
    // a numbering that jumped.
    static bool JumpsAhead(const TUnit& unit, int64_t last, const TRecordClock& clock);
    static void PlaceAt(TUnit& unit, const TReport& report, int64_t last, const TRecordClock& clock,
                        TPlacement& placement);
    // The report fitted nowhere: it confirms the waiting one, or waits itself.
    static void Jump(TUnit& unit, const TReport& report, const TRecordClock& clock, TPlacement& placement);
    static void Drop(TPlacement& placement, uint32_t count, EDropCause cause);

    std::array<TUnit, kUnits + 1> m_units{};  // index = unit, 0 unused
};
