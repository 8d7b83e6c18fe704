#include "counterpart/OppositeEngine.h"

#include <algorithm>
#include <cstring>

#include "data/MeasurementDataManager.h"
#include "data/SamplingRate.h"
#include "data/UnitReportLayout.h"
#include "protocol/CommandCode.h"
#include "protocol/FwVersionResponse.h"
#include "protocol/PacketTa/DataReceivedEvent.h"
#include "protocol/PollingDataSendCommand.h"
#include "protocol/PollingDataSentEvent.h"

namespace {

constexpr uint8_t kErrorResult = 1;

constexpr char kModel[] = "QUILLMARK-KVN";
constexpr char kVersion[] = "1.00";

constexpr uint32_t kBatteryLevels = 4;

// A response that carries only its result byte.
class CResultAnswer : public QNL::CBasicPacket {
public:
    CResultAnswer(uint8_t command, uint8_t result) : CBasicPacket(command) { SetData(&result, 1); }
};

void PutSample(std::vector<uint8_t>& report, const TSampleValue& value) {
    // The cold-junction word holds the value in its upper 14 bits.
    report.push_back(static_cast<uint8_t>(value.sensor >> 6));
    report.push_back(static_cast<uint8_t>(value.sensor << 2));
    uint8_t count[3];
    UnitReport::WriteSigned24(count, value.thermocouple);
    report.insert(report.end(), count, count + 3);
}

}  // namespace

COppositeEngine::TReaction COppositeEngine::HandleFrame(uint8_t command, const uint8_t* data, size_t size) {
    TReaction reaction;
    if (m_options.silentCommands.count(command) != 0)
        return reaction;
    const uint8_t answer = QNL::Code::ResponseTo(command);
    if (command == QNL::Code::kModeSetting) {
        reaction.frames.push_back(ResultFrame(answer, m_options.modeError ? kErrorResult : 0));
    } else if (command == QNL::Code::kPollingSetting) {
        reaction = HandlePollingSetting(data, size);
    } else if (command == QNL::Code::kFwVersion) {
        TFwVersionData record{};
        record.result = 0;
        std::memcpy(record.model, kModel, sizeof kModel - 1);
        std::memcpy(record.version, kVersion, sizeof kVersion - 1);
        CFwVersionResponse response;
        response.SetRecord(record);
        reaction.frames.push_back(response.BuildFrame());
    } else if (command >= QNL::Code::kStartModulationOutput && command <= QNL::Code::kStopOperation) {
        reaction.frames.push_back(ResultFrame(answer, 0));
    }
    return reaction;
}

COppositeEngine::TReaction COppositeEngine::HandlePollingSetting(const uint8_t* data, size_t size) {
    TReaction reaction;
    CPollingDataSendCommand command;
    // A setting that is not well formed is refused like one the dongle cannot take.
    const uint8_t answer = QNL::Code::kPollingSettingResponse;
    if (m_options.pollingError || command.SetPayload(size, data) != 0) {
        reaction.frames.push_back(ResultFrame(answer, kErrorResult));
        return reaction;
    }
    TPollingSetting setting;
    const auto& record = command.Param();
    std::copy_n(record.data, std::min<size_t>(record.dataLength, setting.bytes.size()),
                setting.bytes.begin());
    reaction.frames.push_back(ResultFrame(answer, 0));

    reaction.periodMs = PeriodFor(setting);
    reaction.periodic = reaction.periodMs > 0 ? EPeriodic::kStart : EPeriodic::kStop;
    m_polled = reaction.periodMs > 0 ? std::optional<TPollingSetting>(setting) : std::nullopt;
    // Polling off restarts the units' numbering.
    if (!TurnsPollingOn(setting))
        ResetCounters();
    if (m_options.autoInformation) {
        TFrames information = InformationCycle(&setting);
        reaction.frames.insert(reaction.frames.end(), information.begin(), information.end());
    }
    if (m_options.autoStopNotice && reaction.periodic == EPeriodic::kStop)
        reaction.frames.push_back(StopNoticeFrame());
    return reaction;
}

bool COppositeEngine::TurnsPollingOn(const TPollingSetting& setting) {
    if (setting.RateCode() == 0)
        return false;
    for (int unit = 1; unit <= TPollingSetting::kUnits; ++unit) {
        if (setting.InUse(unit))
            return true;
    }
    return false;
}

uint32_t COppositeEngine::PeriodFor(const TPollingSetting& setting) const {
    // An unknown rate code has no period and stops the cycle without restarting the numbering.
    if (!TurnsPollingOn(setting))
        return 0;
    const uint64_t period = SamplingPeriodMilliseconds(setting.RateCode());
    if (period == 0)
        return 0;
    // A tiny factor still leaves a running cycle.
    return static_cast<uint32_t>(std::max<uint64_t>(1, period * m_options.periodFactor / 10000));
}

COppositeEngine::TFrames COppositeEngine::MeasurementCycle() {
    TFrames frames;
    for (int unit = 1; unit <= COppositeUnitTable::kUnits; ++unit) {
        if (!m_units.Unit(unit).use || (m_polled && !m_polled->InUse(unit)))
            continue;
        TFrame frame = MeasurementReport(unit);
        if (!frame.empty())
            frames.push_back(std::move(frame));
    }
    ++m_global;
    return frames;
}

COppositeEngine::TFrame COppositeEngine::MeasurementReport(int unit) {
    const TOppositeUnit& entry = m_units.Unit(unit);
    // A random number 0..99 below the failure rate: the unit is not heard this cycle, so a rate of
    // 100 silences it.
    if (RandomBelow(100) < static_cast<uint32_t>(std::max(entry.failureRate, 0)))
        return {};
    uint64_t& next = m_next[static_cast<size_t>(unit)];
    int64_t samples = 1;
    const uint64_t pending = m_global - next + 1;
    if (next > m_global + 1 || pending > static_cast<uint64_t>(kMaxPending)) {
        next = m_global;
    } else {
        // More would not fit into one event; the rest follows with the next cycles.
        samples = std::min<int64_t>(static_cast<int64_t>(pending), kMaxSamplesPerReport);
    }
    std::vector<uint8_t> report;
    report.reserve(UnitReport::kHeaderSize + UnitReport::kSampleSize * kMaxSamplesPerReport);
    report.push_back(UnitReport::kMeasurementKind);
    report.push_back(static_cast<uint8_t>(unit));
    report.push_back(static_cast<uint8_t>(RandomBelow(kBatteryLevels)));
    report.push_back(static_cast<uint8_t>(samples & 0x0F));
    report.push_back(static_cast<uint8_t>(next));
    for (int64_t i = 0; i < samples; ++i) PutSample(report, Sample(unit, next + static_cast<uint64_t>(i)));
    next += static_cast<uint64_t>(samples);
    return EventFrame(report);
}

TSampleValue COppositeEngine::Sample(int unit, uint64_t index) {
    if (m_replay != nullptr) {
        const uint32_t records = m_replay->RecordCount();
        if (records > 0) {
            const auto record = static_cast<uint32_t>(index % records);
            const CMeasurementDataManager::CChannel& channel = m_replay->Channel(unit);
            return ReplaySample(CMeasurementDataManager::GetReading(channel, record),
                                m_replay->TemperatureUnit(), channel.ThermocoupleType());
        }
    }
    const TOppositeUnit& entry = m_units.Unit(unit);
    int64_t sensor = entry.sensor;
    if (entry.jitter > 0)
        sensor +=
            static_cast<int64_t>(RandomBelow(2 * static_cast<uint32_t>(entry.jitter) + 1)) - entry.jitter - 1;
    // Beyond 14 bits the word would wrap to the other sign.
    sensor = std::clamp<int64_t>(sensor, TOppositeUnit::kSensorMin, TOppositeUnit::kSensorMax);
    const int32_t count =
        std::clamp(entry.thermocouple, TOppositeUnit::kThermoMin, TOppositeUnit::kThermoMax);
    return TSampleValue{static_cast<int32_t>(sensor), count};
}

COppositeEngine::TFrames COppositeEngine::InformationCycle(const TPollingSetting* wanted) {
    TFrames frames;
    for (int unit = 1; unit <= COppositeUnitTable::kUnits; ++unit) {
        if (!m_units.Unit(unit).use || (wanted != nullptr && !wanted->InfoWanted(unit)))
            continue;
        std::vector<uint8_t> report(UnitReport::kInformationSize, 0);
        report[0] = UnitReport::kInformationKind;
        report[1] = static_cast<uint8_t>(unit);
        report[2] = static_cast<uint8_t>(RandomBelow(kBatteryLevels));
        uint8_t* version = &report[UnitReport::kVersionOffset];
        version[0] = static_cast<uint8_t>('0' + RandomBelow(10));
        version[1] = '.';
        version[2] = static_cast<uint8_t>('0' + RandomBelow(10));
        version[3] = static_cast<uint8_t>('0' + RandomBelow(10));
        // GAIN 1.0f, little-endian.
        report[UnitReport::kGainOffset + 2] = 0x80;
        report[UnitReport::kGainOffset + 3] = 0x3F;
        frames.push_back(EventFrame(report));
    }
    return frames;
}

COppositeEngine::TFrame COppositeEngine::StopNoticeFrame() {
    CPollingDataSentEvent event;
    event.SetRecord(TPollingDataSentData{0});
    return event.BuildFrame();
}

void COppositeEngine::ResetCounters() {
    m_global = 0;
    m_next.fill(0);
}

bool COppositeEngine::SetReplay(std::shared_ptr<const CMeasurementDataManager> data) {
    if (data != nullptr && data->RecordCount() == 0)
        return false;
    m_replay = std::move(data);
    if (m_replay != nullptr)
        m_next.fill(m_global);
    return true;
}

COppositeEngine::TFrame COppositeEngine::EventFrame(const std::vector<uint8_t>& report) {
    QNL::PacketTa::TDataReceivedEventData record{};
    record.pipeNumber = 0;
    record.continueFlag = 0;
    record.dataLength = static_cast<uint8_t>(std::min(report.size(), sizeof record.data));
    std::copy_n(report.begin(), record.dataLength, record.data);
    QNL::PacketTa::CDataReceivedEvent event;
    event.SetRecord(record);
    return event.BuildFrame();
}

COppositeEngine::TFrame COppositeEngine::ResultFrame(uint8_t command, uint8_t result) {
    return CResultAnswer(command, result).BuildFrame();
}
