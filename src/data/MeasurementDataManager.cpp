#include "data/MeasurementDataManager.h"

#include <algorithm>

#include "data/MeasurementReport.h"
#include "data/SamplingRate.h"

CMeasurementDataManager::CMeasurementDataManager() : m_startTime(VEK::CSystemTime::Now()) {}

CMeasurementDataManager::CChannel& CMeasurementDataManager::EmptyChannel() {
    static CChannel empty{CChannel::TFrozen{}};
    return empty;
}

CMeasurementDataManager::CChannel& CMeasurementDataManager::Channel(int channel) {
    return IsChannel(channel) ? m_channels[channel] : EmptyChannel();
}

const CMeasurementDataManager::CChannel& CMeasurementDataManager::Channel(int channel) const {
    return IsChannel(channel) ? m_channels[channel] : EmptyChannel();
}

void CMeasurementDataManager::ApplySetup(const TMeasurementSetup& setup) {
    m_samplingRateCode = setup.pollingSetting.RateCode();
    m_systemNumber = setup.systemNumber;
    m_temperatureUnit = setup.temperatureUnit;
    m_savedPath.clear();
    m_startTime = VEK::CSystemTime::Now();
}

void CMeasurementDataManager::RestartClock(bool numberingGoesOn) {
    if (numberingGoesOn) {
        m_indexBase = m_sequenceCounter;
    } else {
        m_sequenceCounter = 0;
        m_indexBase = 0;
        m_live = 0;
        m_lastDead = -1;
    }
    m_runLength = 0;
    m_clockPeriodMs = 0;
    m_completed = m_indexBase;
    m_reportSinceTick = false;
    m_liveAtEnd.clear();
    m_placer.BeginRun(numberingGoesOn);
    m_drops.Reset();
}

void CMeasurementDataManager::Reset(const TMeasurementSetup& setup) {
    m_state = kStateEmpty;
    {
        std::lock_guard lock(m_lock);
        RestartClock(false);
    }
    InitChannels(setup);
    ApplySetup(setup);
}

void CMeasurementDataManager::TakeLoaded(CMeasurementDataManager& loaded) {
    {
        std::lock_guard lock(m_lock);
        RestartClock(false);
    }
    for (int k = 1; k <= kChannels; ++k) m_channels[k].TakeContents(loaded.m_channels[k]);
    m_recordCount = loaded.RecordCount();
    m_samplingRateCode = loaded.SamplingRateCode();
    m_temperatureUnit = loaded.TemperatureUnit();
    m_systemNumber = loaded.SystemNumber();
    m_startTime = loaded.StartTime();
    m_channelsInUse = loaded.ChannelsInUse();
    m_adjustedChannels = loaded.AdjustedChannels();
    m_savedPath = loaded.SavedPath();
    m_modified = loaded.IsModified();
    m_state = loaded.State();
}

void CMeasurementDataManager::Start(const TMeasurementSetup& setup) {
    m_modified = false;
    {
        std::lock_guard lock(m_lock);
        RestartClock(m_state == kStateMeasuring);
    }
    ApplySetup(setup);
    InitChannels(setup);
    m_state = kStateMeasuring;
}

void CMeasurementDataManager::InitChannels(const TMeasurementSetup& setup) {
    m_recordCount = 0;
    m_channelsInUse.clear();
    const int takingPart = ChannelsTakingPart(setup.pollingSetting.RateCode());
    for (int k = 1; k <= kChannels; ++k) {
        CChannel& channel = m_channels[k];
        const bool inUse = k <= takingPart && setup.pollingSetting.InUse(k);
        channel.SetInUse(inUse);
        channel.ClearReadings();
        channel.SetThermocoupleType(setup.thermocoupleType[k]);
        channel.SetComment(setup.comment[k]);
        if (inUse)
            m_channelsInUse.push_back(k);
    }
}

void CMeasurementDataManager::SetRunLength(uint32_t records) {
    std::lock_guard lock(m_lock);
    m_runLength = records;
}

bool CMeasurementDataManager::RunLengthDone() const {
    std::lock_guard lock(m_lock);
    if (m_runLength == 0)
        return false;
    if (m_completed - m_indexBase >= m_runLength)
        return true;
    const uint32_t period = SamplingPeriodMilliseconds(m_samplingRateCode);
    const uint32_t wait = std::max(static_cast<uint32_t>(CRecordPlacer::kLateReach),
                                   period == 0 ? 0 : kSilentLinkWaitMs / period);
    return m_sequenceCounter - m_indexBase >= m_runLength + wait;
}

void CMeasurementDataManager::Stop() {
    std::lock_guard lock(m_lock);
    const bool wasMeasuring = m_state == kStateMeasuring;
    m_state = kStateHolding;
    m_drops.Dropped(0, m_placer.GiveUpWaiting(), EDropCause::kUnplaced, 0);
    uint32_t count = m_recordCount;
    // Data put in without a clock keep the count they were given.
    const uint32_t ticks = m_sequenceCounter - m_indexBase;
    if (wasMeasuring && ticks != 0)
        count = std::min(count, ticks);
    // The records are the clock's periods: a run of a length has them all, with a reading or not.
    const bool lengthCounted = wasMeasuring && m_runLength != 0 && ticks >= m_runLength;
    if (m_runLength != 0)
        count = lengthCounted ? m_runLength : std::min(count, m_runLength);
    // What was completed went to the working file and the broker already: it stays.
    const uint32_t completed = m_completed - m_indexBase;
    count = std::max(count, completed);
    const uint32_t lastSecond = lengthCounted ? 0 : RecordsPerSecond(m_samplingRateCode);
    if (lastSecond != 0) {
        size_t reference = 0;
        bool uneven = false;
        for (int k = 1; k <= kChannels && !uneven; ++k) {
            if (!m_channels[k].InUse())
                continue;
            const size_t size = std::min<size_t>(m_channels[k].ReadingCount(), count);
            if (reference == 0) {
                reference = size;
            } else {
                uneven = size != reference;
            }
        }
        if (uneven && count >= lastSecond)
            count = std::max(count - lastSecond, completed);
    }
    m_recordCount = count;
    m_completed = m_indexBase + count;
    m_liveAtEnd.clear();
}

std::optional<CMeasurementDataManager::TAppended> CMeasurementDataManager::Append(
    const TDecodedReport& report) {
    const int unit = static_cast<int>(report.unit);
    if (!IsChannel(unit))
        return std::nullopt;
    CChannel& channel = m_channels[unit];
    const uint32_t count = std::min(report.sampleCount, TDecodedReport::kMaxSamples);
    std::array<int16_t, TDecodedReport::kMaxSamples> tenths{};
    for (uint32_t i = 0; i < count; ++i) tenths[i] = TemperatureToTenths(report.temperature[i]);

    std::lock_guard lock(m_lock);
    if (m_state != kStateMeasuring)
        return std::nullopt;
    // Any report shows the link brought something in this period.
    m_reportSinceTick = true;
    if (!channel.InUse())
        return std::nullopt;
    // A report without samples is taken and stores nothing.
    if (count == 0)
        return TAppended{};
    channel.SetInternalTemperature(TemperatureToTenths(report.coldJunction));
    const TRecordClock clock{TicksDue(), m_indexBase, m_live, m_lastDead};
    const int64_t base = m_indexBase;
    const auto stored = [&channel, base](int64_t record) {
        return record < base ? kReadingLost : channel.Reading(static_cast<size_t>(record - base));
    };
    const CRecordPlacer::TPlacement placement =
        m_placer.Place(unit, report.sequence, count, tenths.data(), clock, stored);
    m_drops.Dropped(unit, placement.dropped, placement.cause, m_sequenceCounter - m_indexBase);
    return Fill(unit, channel, placement);
}

std::optional<CMeasurementDataManager::TAppended> CMeasurementDataManager::Fill(
    int unit, CChannel& channel, const CRecordPlacer::TPlacement& placement) {
    const int64_t base = m_indexBase;
    const uint32_t now = m_sequenceCounter - m_indexBase;
    int64_t first = INT64_MAX;
    int64_t last = -1;
    uint32_t placed = 0;
    for (uint32_t i = 0; i < placement.count; ++i) {
        const CRecordPlacer::TSample& sample = placement.samples[i];
        if (sample.record < base) {
            m_drops.Dropped(unit, 1, EDropCause::kBeforeStart, now);
            continue;
        }
        const auto index = static_cast<size_t>(sample.record - base);
        if (sample.record < int64_t{m_completed}) {
            // Passed on already: a repeat changes nothing, anything else comes too late.
            if (!IsValidReading(channel.Reading(index)))
                m_drops.Dropped(unit, 1, EDropCause::kRowCompleted, now);
            continue;
        }
        const size_t end = channel.FillReadings(index, &sample.tenths, 1);
        if (end != 0)
            RaiseRecordCount(static_cast<uint32_t>(std::min<size_t>(end, UINT32_MAX)));
        first = std::min<int64_t>(first, sample.record - base);
        last = std::max<int64_t>(last, sample.record - base);
        ++placed;
    }
    m_drops.Placed(unit, placed);
    if (placed == 0)
        return std::nullopt;
    return TAppended{static_cast<uint32_t>(first), static_cast<uint32_t>(last - first + 1)};
}

void CMeasurementDataManager::RaiseRecordCount(uint32_t count) {
    uint32_t current = m_recordCount.load();
    while (current < count && !m_recordCount.compare_exchange_weak(current, count)) {
    }
}

void CMeasurementDataManager::AdvanceTick() {
    std::lock_guard lock(m_lock);
    if (m_state != kStateMeasuring)
        return;
    if (m_reportSinceTick)
        ++m_live;
    else
        m_lastDead = m_sequenceCounter;
    m_reportSinceTick = false;
    ++m_sequenceCounter;
    m_liveAtEnd.push_back(m_live);
    CompleteRecords();
}

void CMeasurementDataManager::SetClockOrigin(std::chrono::steady_clock::time_point begin, uint32_t periodMs) {
    std::lock_guard lock(m_lock);
    m_clockBegin = begin;
    m_clockPeriodMs = periodMs;
    m_clockTicksAtBegin = m_sequenceCounter;
}

int64_t CMeasurementDataManager::TicksDue() const {
    const int64_t counted = m_sequenceCounter;
    if (m_clockPeriodMs == 0)
        return counted;
    const auto elapsed = std::chrono::steady_clock::now() - m_clockBegin;
    const int64_t due =
        std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count() / m_clockPeriodMs;
    return std::max(counted, int64_t{m_clockTicksAtBegin} + due);
}

bool CMeasurementDataManager::RecordComplete(uint32_t index) const {
    // The use flags, not the list: the list may be rebuilt on the window thread meanwhile.
    for (int k = 1; k <= kChannels; ++k) {
        if (m_channels[k].InUse() && m_channels[k].Reading(index) == kReadingLost)
            return false;
    }
    return true;
}

void CMeasurementDataManager::CompleteRecords() {
    const int64_t end = m_runLength != 0
                            ? std::min<int64_t>(m_sequenceCounter, int64_t{m_indexBase} + m_runLength)
                            : int64_t{m_sequenceCounter};
    while (m_completed < end) {
        // A record is out of a late report's reach once the link has brought reports in more
        // periods after it than that reach: a stalled link holds it open.
        const bool outOfReach = m_live - m_liveAtEnd.front() > uint64_t{CRecordPlacer::kLateReach};
        if (!outOfReach && !RecordComplete(m_completed - m_indexBase))
            break;
        ++m_completed;
        m_liveAtEnd.pop_front();
    }
}

uint32_t CMeasurementDataManager::RecordsThisRun() const {
    if (m_state != kStateMeasuring)
        return 0;
    std::lock_guard lock(m_lock);
    return m_sequenceCounter - m_indexBase;
}

uint32_t CMeasurementDataManager::CompletedRecords() const {
    std::lock_guard lock(m_lock);
    return m_completed - m_indexBase;
}

uint64_t CMeasurementDataManager::DroppedSamples() const {
    std::lock_guard lock(m_lock);
    return m_drops.Total();
}

std::vector<TDropNotice> CMeasurementDataManager::TakeDropNotices() {
    std::lock_guard lock(m_lock);
    return m_drops.TakeNotices();
}

uint32_t CMeasurementDataManager::SequenceCounter() const {
    std::lock_guard lock(m_lock);
    return m_sequenceCounter;
}

uint32_t CMeasurementDataManager::IndexBase() const {
    std::lock_guard lock(m_lock);
    return m_indexBase;
}

void CMeasurementDataManager::DeleteBefore(uint32_t index) {
    const uint32_t count = m_recordCount;
    m_recordCount = count > index ? count - index : 0;
    for (int k = 1; k <= kChannels; ++k) m_channels[k].RemoveFrontReadings(index);
    m_startTime =
        m_startTime.AddMilliseconds(int64_t{index} * SamplingPeriodMilliseconds(m_samplingRateCode));
    m_modified = true;
}

void CMeasurementDataManager::DeleteAfter(uint32_t index) {
    const size_t keep = size_t{index} + 1;
    for (int k = 1; k <= kChannels; ++k) {
        if (m_channels[k].ReadingCount() > keep)
            m_channels[k].ResizeReadings(keep);
    }
    // Cutting after the last record keeps the count; it never invents records.
    const uint32_t count = m_recordCount;
    if (count > keep)
        m_recordCount = static_cast<uint32_t>(keep);
    m_modified = true;
}

void CMeasurementDataManager::SetUnitInformation(int channel, const TUnitInformation& information) {
    if (!IsChannel(channel))
        return;
    std::lock_guard lock(m_lock);
    m_unitInformation[channel] = information;
}

TUnitInformation CMeasurementDataManager::UnitInformation(int channel) const {
    if (!IsChannel(channel))
        return {};
    std::lock_guard lock(m_lock);
    return m_unitInformation[channel];
}

bool CMeasurementDataManager::UpdateBattery(int channel, uint8_t level) {
    if (!IsChannel(channel))
        return false;
    std::lock_guard lock(m_lock);
    TUnitInformation& information = m_unitInformation[channel];
    if (!information.IsPresent() || information.Battery() == level)
        return false;
    information.SetBattery(level);
    return true;
}

void CMeasurementDataManager::RefreshChannelsInUse() {
    m_channelsInUse.clear();
    for (int k = 1; k <= kChannels; ++k) {
        if (m_channels[k].InUse())
            m_channelsInUse.push_back(k);
    }
}
