#pragma once
// Publishes every record and the run state to an MQTT broker from a thread of its own, so that the
// measurement never waits for the network. Records wait in memory (a day at the current rate), then
// in a spill file in the work folder, and reach the broker oldest first once it is there. A record
// counts as delivered when the broker has acknowledged it (QoS 1); one sent again after a lost
// connection carries its own record number, so consumers can drop the duplicate.
#include <chrono>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>

#include "publish/MosquittoSession.h"
#include "publish/MqttConnection.h"
#include "publish/MqttStatus.h"
#include "publish/MqttTopics.h"
#include "publish/PublishRecord.h"
#include "publish/RecordQueue.h"
#include "support/Thread.h"
#include "support/WakeupFd.h"

class CMqttPublisher : private VEK::CCopyImpossible {
public:
    using TLog = std::function<void(const std::string&)>;
    // Records sent and not yet acknowledged.
    static constexpr size_t kWindow = 32;
    // A message the broker has not acknowledged by then ends the connection, which is made anew:
    // a broker that takes messages and never answers must not look connected for good.
    static constexpr int64_t kAcknowledgeTimeoutMs = 10'000;

    // program: the base name of the program file; with the host and the system number it names the
    // client, and with the system number the spill file.
    CMqttPublisher(const TMqttConnection& connection, const std::string& program, uint32_t systemNumber);
    // Stops without waiting for the broker, and waits for the thread (which ends within the time
    // Stop gives it, or once a host name lookup under way returns).
    ~CMqttPublisher();

    // Before Start: where the log lines go (the trace log by default), and the spill file's folder
    // (the work folder of the working files by default).
    void SetLog(TLog log) { m_log = std::move(log); }
    void SetSpillFolder(std::string folder) { m_spillFolder = std::move(folder); }
    // Starts the thread, which first takes over the records an earlier publisher left in the spill
    // file, then connects.
    bool Start();
    // Never waits: the record is queued for the thread. Records go in the order handed over; each
    // channel's newest value goes retained at most once a second (and at the end).
    void Publish(const TPublishRecord& record);
    // Published retained once the records handed over before it have been sent, and again after
    // every reconnect (the broker may have published the last will "offline" meanwhile).
    void SetRunState(ERunState state);
    // What keeps the program from writing its files ("working file: No space left on device"),
    // published retained on the topic "problem" in order with the records, and again after every
    // reconnect; an empty text removes the retained message.
    void SetProblem(const std::string& text);
    TMqttStatus Status() const;
    // Goes on delivering for at most drain while the broker is connected (without a connection and
    // with something to deliver, it tries once more at once), says goodbye (the state stays as last
    // set), saves what is left to the spill file and ends the thread. Waits at most
    // drain and a few seconds; records handed over later are not published.
    void Stop(std::chrono::milliseconds drain);
    std::string SpillPath() const { return m_spillFolder + "/" + m_spillName; }

private:
    struct TInboxItem {
        bool isState = false;
        ERunState state = ERunState::kIdle;
        TPublishRecord record;
        bool isProblem = false;
        std::string problem;
    };
    struct TInFlight {
        int messageId;
        bool acknowledged;
        bool refused;  // the library would not send it: it goes without counting as delivered
        int64_t sentMs;
    };

    void Run(const std::atomic<bool>& stop);
    void OpenQueue();
    void TakeInbox();
    void Connect();
    void Send(int64_t nowMs, bool stopping);
    void SendRetained(const std::string& topic, const std::string& payload);
    // Sleeps until the front end or the socket has something, or a time-out; true when the socket has.
    bool Wait(int64_t nowMs);
    void Service(int64_t nowMs, bool socketReady);
    void Acknowledge(const std::vector<int>& messageIds);
    void PopSettled();
    void CheckAcknowledgements(int64_t nowMs);
    void TakeDrops();
    void NoteDropped(uint64_t count, const std::string& reason);
    void Lose(const std::string& reason);
    bool Connected() const { return m_session != nullptr && m_session->Connected(); }
    bool Drained() const;
    void Finish();
    void SetState(TMqttStatus::EState state, const std::string& reason);
    void ReportSpill(const std::string& error);
    void UpdateCounts();

    const TMqttConnection m_connection;
    const std::string m_clientId;
    const CMqttTopics m_topics;
    const std::string m_spillName;
    std::string m_spillFolder;
    TLog m_log;

    // Shared with the front end.
    mutable std::mutex m_lock;
    std::deque<TInboxItem> m_inbox;
    TMqttStatus m_status;
    std::chrono::milliseconds m_drain{0};
    VEK::CWakeupFd m_wake;

    // The thread's own.
    std::unique_ptr<CRecordQueue> m_queue;
    std::unique_ptr<CMosquittoSession> m_session;
    bool m_sessionUp = false;
    int64_t m_connectDeadlineMs = 0;
    int64_t m_nextAttemptMs = 0;
    int64_t m_retryDelayMs = 0;
    int64_t m_lastServiceMs = 0;
    std::deque<TInFlight> m_inFlight;           // the queue's first records, in order
    std::map<int, int64_t> m_retainedInFlight;  // state and channel values, with their send times
    uint64_t m_pushed = 0;  // records queued in this publisher's life, taken over ones too
    uint64_t m_delivered = 0;
    bool m_haveState = false;
    bool m_statePending = false;
    ERunState m_runState = ERunState::kIdle;
    uint64_t m_stateMark = 0;  // records queued before the state changed
    bool m_haveProblem = false;
    bool m_problemPending = false;
    std::string m_problem;
    bool m_haveLatest = false;
    bool m_channelsPending = false;
    int64_t m_lastChannelsMs = 0;
    TPublishRecord m_latest;

    // Last, so that it is joined before anything it uses is destroyed.
    VEK::CThread m_thread;
};
