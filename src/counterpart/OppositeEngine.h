#pragma once
#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <random>
#include <set>
#include <vector>

#include "counterpart/OppositeUnitTable.h"
#include "counterpart/ReplaySample.h"
#include "protocol/PollingSetting.h"

class CMeasurementDataManager;

// Plays the dongle and its units without any transport or thread: answers command frames, builds
// the units' measurement and information reports, and keeps the counters that number the samples.
// Not thread-safe; the caller serialises access.
class COppositeEngine {
public:
    using TFrame = std::vector<uint8_t>;
    using TFrames = std::vector<TFrame>;

    // The events carry at most 29 report bytes: 5 header bytes and four 5-byte samples.
    static constexpr int kMaxSamplesPerReport = 4;
    // A unit further behind than this starts again at the current cycle.
    static constexpr int64_t kMaxPending = 10;

    struct TOptions {
        // The periodic cycle runs at the sampling period times this, in 1/10000.
        uint32_t periodFactor = 9500;
        // Information reports for the units whose information a polling setting asks for.
        bool autoInformation = false;
        // The polling state event with state 0 after a polling setting that turns polling off.
        bool autoStopNotice = false;
        // Faults for testing the other end.
        bool modeError = false;
        bool pollingError = false;
        std::set<uint8_t> silentCommands;  // not answered and not acted upon
    };

    enum class EPeriodic { kUnchanged, kStart, kStop };
    struct TReaction {
        TFrames frames;  // the answer first, then any events
        EPeriodic periodic = EPeriodic::kUnchanged;
        uint32_t periodMs = 0;
    };

    explicit COppositeEngine(uint32_t seed = 0) : m_random(seed) {}

    COppositeUnitTable& Units() { return m_units; }
    const COppositeUnitTable& Units() const { return m_units; }
    void SetOptions(const TOptions& options) { m_options = options; }
    const TOptions& Options() const { return m_options; }
    void Seed(uint32_t seed) { m_random.seed(seed); }

    // A command frame (command code and data) from the application.
    TReaction HandleFrame(uint8_t command, const uint8_t* data, size_t size);
    // At least one unit in use and a sampling-rate code other than 0.
    static bool TurnsPollingOn(const TPollingSetting& setting);
    // The periodic cycle's period for a polling setting; 0 stops the cycle.
    uint32_t PeriodFor(const TPollingSetting& setting) const;

    // One report per unit in use that does not fail this cycle; then the global counter moves on.
    // While polling runs, only the units the polling setting puts in use are heard, as the dongle
    // polls no others.
    TFrames MeasurementCycle();
    // One information report per unit in use; with a setting, only for the units it asks.
    TFrames InformationCycle(const TPollingSetting* wanted = nullptr);
    static TFrame StopNoticeFrame();

    void ResetCounters();
    uint64_t GlobalCounter() const { return m_global; }
    uint64_t NextSample(int unit) const { return m_next[static_cast<size_t>(unit)]; }
    void SetNextSample(int unit, uint64_t next) { m_next[static_cast<size_t>(unit)] = next; }

    // Replays the store's readings instead of the table's values; null leaves replay. A store
    // without records is refused (false). Every unit continues from the current cycle.
    bool SetReplay(std::shared_ptr<const CMeasurementDataManager> data);
    bool IsReplaying() const { return m_replay != nullptr; }

private:
    TFrame MeasurementReport(int unit);
    TSampleValue Sample(int unit, uint64_t index);
    static TFrame EventFrame(const std::vector<uint8_t>& report);
    static TFrame ResultFrame(uint8_t command, uint8_t result);
    TReaction HandlePollingSetting(const uint8_t* data, size_t size);
    uint32_t RandomBelow(uint32_t bound) { return static_cast<uint32_t>(m_random() % bound); }

    COppositeUnitTable m_units;
    TOptions m_options;
    std::mt19937 m_random;
    uint64_t m_global = 0;
    std::array<uint64_t, COppositeUnitTable::kUnits + 1> m_next{};  // index = unit, 0 unused
    std::shared_ptr<const CMeasurementDataManager> m_replay;
    std::optional<TPollingSetting> m_polled;  // the setting polling runs with
};
