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

void CMeasurementDataManager::Reset(const TMeasurementSetup& setup) {
    m_state = kStateEmpty;
    {
        std::lock_guard lock(m_lock);
        m_sequenceCounter = 0;
        m_indexBase = 0;
        m_unwrapper.BeginRun(false);
    }
    InitChannels(setup);
    ApplySetup(setup);
}

void CMeasurementDataManager::TakeLoaded(CMeasurementDataManager& loaded) {
    {
        std::lock_guard lock(m_lock);
        m_sequenceCounter = 0;
        m_indexBase = 0;
        m_unwrapper.BeginRun(false);
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
        const bool numberingGoesOn = m_state == kStateMeasuring;
        if (numberingGoesOn) {
            m_indexBase = m_sequenceCounter;
        } else {
            m_sequenceCounter = 0;
            m_indexBase = 0;
        }
        m_unwrapper.BeginRun(numberingGoesOn);
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

void CMeasurementDataManager::Stop() {
    m_state = kStateHolding;
    const uint32_t lastSecond = RecordsPerSecond(m_samplingRateCode);
    if (lastSecond == 0)
        return;
    size_t reference = 0;
    bool uneven = false;
    for (int k = 1; k <= kChannels && !uneven; ++k) {
        if (!m_channels[k].InUse())
            continue;
        const size_t size = m_channels[k].ReadingCount();
        if (reference == 0) {
            reference = size;
        } else {
            uneven = size != reference;
        }
    }
    const uint32_t count = m_recordCount;
    if (uneven && count >= lastSecond)
        m_recordCount = count - lastSecond;
}

std::optional<uint32_t> CMeasurementDataManager::Append(const TDecodedReport& report) {
    if (m_state != kStateMeasuring || !IsChannel(static_cast<int>(report.unit)))
        return std::nullopt;
    CChannel& channel = m_channels[report.unit];
    if (!channel.InUse())
        return std::nullopt;
    const uint32_t count = std::min(report.sampleCount, TDecodedReport::kMaxSamples);
    const std::optional<uint32_t> placed =
        RecordIndexOf(static_cast<int>(report.unit), report.sequence, count);
    if (!placed)
        return std::nullopt;
    const uint32_t recordIndex = *placed;
    std::array<int16_t, TDecodedReport::kMaxSamples> tenths{};
    for (uint32_t i = 0; i < count; ++i) tenths[i] = TemperatureToTenths(report.temperature[i]);
    const size_t end = channel.FillReadings(recordIndex, tenths.data(), count);
    if (end != 0)
        RaiseRecordCount(static_cast<uint32_t>(std::min<size_t>(end, UINT32_MAX)));
    if (count != 0)
        channel.SetInternalTemperature(TemperatureToTenths(report.coldJunction));
    return recordIndex;
}

void CMeasurementDataManager::RaiseRecordCount(uint32_t count) {
    uint32_t current = m_recordCount.load();
    while (current < count && !m_recordCount.compare_exchange_weak(current, count)) {
    }
}

void CMeasurementDataManager::AdvanceTick() {
    std::lock_guard lock(m_lock);
    ++m_sequenceCounter;
}

uint32_t CMeasurementDataManager::RecordsThisRun() const {
    if (m_state != kStateMeasuring)
        return 0;
    std::lock_guard lock(m_lock);
    return m_sequenceCounter - m_indexBase;
}

std::optional<uint32_t> CMeasurementDataManager::RecordIndexOf(int unit, uint8_t sequence,
                                                               uint32_t sampleCount) {
    std::lock_guard lock(m_lock);
    return m_unwrapper.RecordIndex(unit, sequence, sampleCount, m_sequenceCounter, m_indexBase);
}

uint64_t CMeasurementDataManager::DroppedSamples() const {
    std::lock_guard lock(m_lock);
    return m_unwrapper.DroppedSamples();
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
