#pragma once
#include <algorithm>
// The measurement that is running or was last run or loaded: per channel a series of readings
// indexed by record number, the time of record 0, the sampling rate, and the run's record clock.
// The clock's ticks are the run's time base: they count its records, and the records the
// working file and the broker may take are those the store has completed (every channel in use
// has a reading, or a late report can no longer reach them); a completed record never changes.
#include <array>
#include <atomic>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "data/DecodedReport.h"
#include "data/DropLedger.h"
#include "data/MeasurementChannel.h"
#include "data/MeasurementSetup.h"
#include "data/MeasurementValue.h"
#include "data/RecordPlacer.h"
#include "data/UnitInformation.h"
#include "support/CopyImpossible.h"
#include "support/SystemTime.h"

class CMeasurementDataManager : private VEK::CCopyImpossible {
public:
    using CValue = CMeasurementValue;
    using CChannel = CMeasurementChannel;
    static constexpr int kChannels = 100;
    // How long a run with a length waits past its last record for a link that brings nothing.
    static constexpr uint32_t kSilentLinkWaitMs = 60000;
    enum EState : int32_t { kStateEmpty = 0, kStateMeasuring = 1, kStateHolding = 2 };

    CMeasurementDataManager();

    // Channels 1..100; any other number gives a shared empty record (not in use, no readings).
    CChannel& Channel(int channel);
    const CChannel& Channel(int channel) const;
    // Lost at or beyond the end of the series.
    static int16_t GetReading(const CChannel& channel, uint32_t index) { return channel.Reading(index); }
    static void SetReading(CChannel& channel, uint32_t index, int16_t tenths) {
        channel.SetReading(index, tenths);
    }

    // Empty state; sequence counter and index base 0; channels from the setup.
    void Reset(const TMeasurementSetup& setup);
    // Begins a measurement. From a stopped or empty store the sequence counter and index base start at
    // 0, as the dongle starts polling afresh. While measuring the units keep numbering their samples,
    // so the counter is kept and the index base moves to it: the new run's records start at 0 and no
    // report is folded onto record 0 while the counter catches up.
    void Start(const TMeasurementSetup& setup);
    // The run keeps this many records (0: no limit): none is completed beyond them and the stop
    // keeps exactly that many once the clock has counted them. Before the first tick.
    void SetRunLength(uint32_t records);
    // A run with a length is over: its records are complete, or they wait for a link that has
    // brought nothing for a minute (at least a late report's reach) past the last of them: no unit
    // in reach, or a stall that outlasts what the run waits for.
    bool RunLengthDone() const;
    // Record count 0; channels 1..20 (fast rates) or 1..100 take use, type and comment from the
    // setup with their readings emptied; channels beyond a fast rate's twenty are taken out of use
    // and emptied too, so no earlier run's readings show on the new time base.
    void InitChannels(const TMeasurementSetup& setup);
    // Takes what a data file gave another store (channels, records, start time, rate, unit, system
    // number, adjusted channels, saved path, state and modified flag), with the sequence counter
    // and index base at 0 as after a reset; the unit information stays. Window thread; the other
    // store is left with this one's readings.
    void TakeLoaded(CMeasurementDataManager& loaded);
    // Holding state. A run's records are those its clock counted, never fewer than it completed; a
    // run whose clock counted its run length keeps exactly that many (Lost where no reading came).
    // Otherwise, at rates up to one second, an uneven end drops the last second's records that were
    // not completed yet. Reports still waiting for confirmation are dropped.
    void Stop();
    // While measuring, stores the samples of a channel in use on the records their unit's numbering
    // gives (see CRecordPlacer), each only where no valid reading is stored yet and never on a
    // completed record. The records spanned by what was placed (none for a report without samples);
    // nothing when no sample was placed (not measuring, channel not in use, the report waits for
    // confirmation or was dropped).
    struct TAppended {
        uint32_t first = 0;  // record index of the run
        uint32_t count = 0;  // records from first to the last sample placed
    };
    std::optional<TAppended> Append(const TDecodedReport& report);
    // The run's tick: one record position per sampling period; completes the records it can.
    void AdvanceTick();
    // The record clock's ticks fall due every period from begin on (the clock's thread counts them
    // with AdvanceTick). Reports are placed against the ticks due, so a clock thread that was kept
    // from running for a while never makes the units look ahead of it. Without it (data put in by
    // hand, simulated time), against the ticks counted.
    void SetClockOrigin(std::chrono::steady_clock::time_point begin, uint32_t periodMs);
    // Record positions of the run so far (its ticks) while measuring, else 0.
    uint32_t RecordsThisRun() const;
    // Records of the run completed so far: they stay as they are. After the stop, the record count.
    uint32_t CompletedRecords() const;
    // Samples of this run that could not be placed on a record of their own.
    uint64_t DroppedSamples() const;
    // Each unit's episode of dropped samples once, since the last call.
    std::vector<TDropNotice> TakeDropNotices();
    uint32_t SequenceCounter() const;
    uint32_t IndexBase() const;

    // Partial deletion at record i: drop the records before i (record i becomes record 0 and keeps its
    // time), or the records after i.
    void DeleteBefore(uint32_t index);
    void DeleteAfter(uint32_t index);

    // Unit information per channel, written by the receive thread: guarded by the store's lock.
    void SetUnitInformation(int channel, const TUnitInformation& information);
    TUnitInformation UnitInformation(int channel) const;
    // Updates the battery of present information; true when it changed.
    bool UpdateBattery(int channel, uint8_t level);

    int32_t State() const { return m_state.load(); }
    void SetState(int32_t state) { m_state.store(state); }
    uint32_t RecordCount() const { return m_recordCount.load(); }
    void SetRecordCount(uint32_t count) { m_recordCount.store(count); }
    uint32_t SamplingRateCode() const { return m_samplingRateCode.load(); }
    void SetSamplingRateCode(uint32_t code) { m_samplingRateCode.store(code); }
    uint32_t TemperatureUnit() const { return m_temperatureUnit.load(); }
    void SetTemperatureUnit(uint32_t unit) { m_temperatureUnit.store(unit); }
    uint32_t SystemNumber() const { return m_systemNumber.load(); }
    void SetSystemNumber(uint32_t number) { m_systemNumber.store(number); }

    // Window thread only.
    bool IsModified() const { return m_modified; }
    void SetModified(bool modified) { m_modified = modified; }
    std::string SavedPath() const { return m_savedPath; }
    void SetSavedPath(std::string path) { m_savedPath = std::move(path); }
    const VEK::CSystemTime& StartTime() const { return m_startTime; }
    void SetStartTime(const VEK::CSystemTime& time) { m_startTime = time; }
    // Numbers of the channels in use, ascending; rebuilt from the channels' use flags after a load.
    std::vector<int32_t> ChannelsInUse() const { return m_channelsInUse; }
    void RefreshChannelsInUse();
    std::vector<uint32_t> AdjustedChannels() const { return m_adjustedChannels; }
    void SetAdjustedChannels(std::vector<uint32_t> channels) { m_adjustedChannels = std::move(channels); }
    // The channel is in the adjusted-channel list.
    bool IsAdjusted(int channel) const {
        return std::find(m_adjustedChannels.begin(), m_adjustedChannels.end(),
                         static_cast<uint32_t>(channel)) != m_adjustedChannels.end();
    }

private:
    static bool IsChannel(int channel) { return channel >= 1 && channel <= kChannels; }
    // Shared by every store and built once; it ignores changes.
    static CChannel& EmptyChannel();
    void ApplySetup(const TMeasurementSetup& setup);
    void RaiseRecordCount(uint32_t count);
    // A fresh record clock at the counter (under m_lock).
    void RestartClock(bool numberingGoesOn);
    // Under m_lock: the ticks due now, never fewer than those counted.
    int64_t TicksDue() const;
    // Under m_lock: the samples of a placement into the channel; the span of those stored.
    std::optional<TAppended> Fill(int unit, CChannel& channel, const CRecordPlacer::TPlacement& placement);
    // Under m_lock: every channel in use has a reading at the record index.
    bool RecordComplete(uint32_t index) const;
    void CompleteRecords();

    std::atomic<int32_t> m_state{kStateEmpty};
    bool m_modified = false;
    std::string m_savedPath;
    std::atomic<uint32_t> m_recordCount{0};
    VEK::CSystemTime m_startTime;
    std::vector<int32_t> m_channelsInUse;
    std::array<CChannel, kChannels + 1> m_channels;
    std::array<TUnitInformation, kChannels + 1> m_unitInformation{};  // under m_lock

    // Guards the record clock, the placer, the dropped samples and the unit information; the
    // receive thread stores readings under it, so that no reading lands on a completed record.
    mutable std::mutex m_lock;
    std::atomic<uint32_t> m_samplingRateCode{0};
    uint32_t m_sequenceCounter = 0;
    uint32_t m_indexBase = 0;
    uint32_t m_runLength = 0;
    std::chrono::steady_clock::time_point m_clockBegin{};
    uint32_t m_clockPeriodMs = 0;  // 0: no clock origin
    uint32_t m_clockTicksAtBegin = 0;
    uint32_t m_completed = 0;  // absolute: records before it are completed
    uint64_t m_live = 0;       // periods that brought a report
    int64_t m_lastDead = -1;   // the latest period that brought none
    bool m_reportSinceTick = false;
    std::deque<uint64_t> m_liveAtEnd;  // m_live at the end of each period from m_completed on
    CRecordPlacer m_placer;
    CDropLedger m_drops;
    std::atomic<uint32_t> m_systemNumber{0};
    std::atomic<uint32_t> m_temperatureUnit{0};
    std::vector<uint32_t> m_adjustedChannels;
};
