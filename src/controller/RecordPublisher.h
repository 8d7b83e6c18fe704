#pragma once
#include <chrono>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "publish/MqttConnection.h"
#include "publish/MqttStatus.h"
#include "publish/PublishRecord.h"
#include "support/CopyImpossible.h"

class CMeasurementDataManager;
class CMqttPublisher;

// Feeds the MQTT publisher from the record store: a record goes out once it is complete (it has
// passed the working file's lag, so late reports are in), with the row number, time, unit and
// channels that the working file gives it; the run state follows the runs. Window thread; it hands
// plain values to the publisher's own thread and never waits for the broker.
class CRecordPublisher : private VEK::CCopyImpossible {
public:
    // program: the base name of the program file, naming the client and the spill file.
    CRecordPublisher(TMqttConnection connection, std::string program);
    // Stops without waiting for the broker.
    ~CRecordPublisher();

    // Publishes under this system number: the first call starts the publisher (state "idle"); a
    // new number stops the publisher of the old one (what it could not send waits in its spill
    // file) and starts one for the new number. Blocks for a few seconds at most, and only then.
    // Number 0 (none set yet) changes nothing.
    void Follow(uint32_t systemNumber);
    // The store has begun a measurement; recordLimit > 0: the run keeps only that many records.
    void RunStarted(const CMeasurementDataManager& store, uint32_t recordLimit);
    // While measuring: the records completed since the last call.
    void PublishComplete(const CMeasurementDataManager& store);
    // The run has ended and the store holds what it keeps: its records not yet published, then
    // the state. Nothing for a run this did not start.
    void RunEnded(const CMeasurementDataManager& store, ERunState state);
    // What keeps the program from writing its files, for the topic "problem"; empty: nothing (any
    // longer). A publisher for a new system number gets it too.
    void ReportProblem(const std::string& text);
    // Delivers for at most drain while the broker is connected, then ends (Status says what is
    // left in the spill file). Later calls publish nothing.
    void Stop(std::chrono::milliseconds drain);
    TMqttStatus Status() const;
    bool Stopped() const { return m_stopped; }

private:
    void PublishUpTo(const CMeasurementDataManager& store, uint32_t upTo);
    TPublishRecord Row(const CMeasurementDataManager& store, uint32_t index) const;

    const TMqttConnection m_connection;
    const std::string m_program;
    std::unique_ptr<CMqttPublisher> m_publisher;
    uint32_t m_systemNumber = 0;
    bool m_stopped = false;
    std::string m_problem;

    // The run being published.
    bool m_running = false;
    uint32_t m_next = 0;   // index of the next record to publish
    uint32_t m_limit = 0;  // 0: none
    int64_t m_baseMs = 0;  // time of record 0
    uint32_t m_periodMs = 0;
    bool m_fahrenheit = false;
    std::vector<int32_t> m_channels;
};
