#include "controller/RecordPublisher.h"

#include <algorithm>

#include "data/MeasurementDataManager.h"
#include "data/SamplingRate.h"
#include "data/TemperatureUnit.h"
#include "files/WorkingFile.h"
#include "publish/MqttPublisher.h"

CRecordPublisher::CRecordPublisher(TMqttConnection connection, std::string program)
    : m_connection(std::move(connection)), m_program(std::move(program)) {}

CRecordPublisher::~CRecordPublisher() = default;

void CRecordPublisher::Follow(uint32_t systemNumber) {
    // System number 0 names no radio system: nothing to publish under yet.
    if (m_stopped || systemNumber == 0 || (m_publisher != nullptr && systemNumber == m_systemNumber))
        return;
    if (m_publisher != nullptr)
        m_publisher->Stop(std::chrono::milliseconds(0));
    m_publisher = std::make_unique<CMqttPublisher>(m_connection, m_program, systemNumber);
    m_systemNumber = systemNumber;
    m_publisher->Start();
    m_publisher->SetRunState(ERunState::kIdle);
    if (!m_problem.empty())
        m_publisher->SetProblem(m_problem);
}

void CRecordPublisher::ReportProblem(const std::string& text) {
    if (m_stopped || text == m_problem)
        return;
    m_problem = text;
    if (m_publisher != nullptr)
        m_publisher->SetProblem(text);
}

void CRecordPublisher::RunStarted(const CMeasurementDataManager& store, uint32_t recordLimit) {
    if (m_stopped || m_publisher == nullptr)
        return;
    m_running = true;
    m_next = 0;
    m_limit = recordLimit;
    // The data file's row times: the start time without its milliseconds, plus whole periods.
    VEK::CSystemTime base = store.StartTime();
    base.millisecond = 0;
    m_baseMs = base.ToEpochMilliseconds();
    m_periodMs = SamplingPeriodMilliseconds(store.SamplingRateCode());
    m_fahrenheit = store.TemperatureUnit() == kTemperatureUnitFahrenheit;
    m_channels = store.ChannelsInUse();
    m_publisher->SetRunState(ERunState::kMeasuring);
}

void CRecordPublisher::PublishComplete(const CMeasurementDataManager& store) {
    if (m_running)
        PublishUpTo(store, VEK::CWorkingFile::CompleteRecords(store));
}

void CRecordPublisher::RunEnded(const CMeasurementDataManager& store, ERunState state) {
    if (!m_running)
        return;
    m_running = false;
    if (m_stopped)
        return;
    PublishUpTo(store, store.RecordCount());
    m_publisher->SetRunState(state);
}

void CRecordPublisher::PublishUpTo(const CMeasurementDataManager& store, uint32_t upTo) {
    if (m_limit != 0)
        upTo = std::min(upTo, m_limit);
    for (; m_next < upTo; ++m_next) m_publisher->Publish(Row(store, m_next));
}

TPublishRecord CRecordPublisher::Row(const CMeasurementDataManager& store, uint32_t index) const {
    TPublishRecord record;
    record.number = index + 1;
    record.timeMs = m_baseMs + int64_t{index} * m_periodMs;
    record.rateMs = m_periodMs;
    record.fahrenheit = m_fahrenheit;
    for (int32_t channel : m_channels)
        record.SetReading(channel, CMeasurementDataManager::GetReading(store.Channel(channel), index));
    return record;
}

void CRecordPublisher::Stop(std::chrono::milliseconds drain) {
    if (m_stopped)
        return;
    m_stopped = true;
    m_running = false;
    if (m_publisher != nullptr)
        m_publisher->Stop(drain);
}

TMqttStatus CRecordPublisher::Status() const {
    return m_publisher != nullptr ? m_publisher->Status() : TMqttStatus{};
}
