#include "publish/MqttPublisher.h"

#include <poll.h>

#include <algorithm>
#include <thread>

#include "files/Settings.h"
#include "files/TraceLogger.h"
#include "platform/Folders.h"
#include "publish/MqttPayload.h"

namespace {

constexpr int64_t kDayMs = 86'400'000;
constexpr int64_t kFirstRetryMs = 1000;
constexpr int64_t kLongestRetryMs = 30'000;
// A broker that has not accepted by then counts as unreachable (a connect to a silent host would
// otherwise wait for the system's own time-out of minutes).
constexpr int64_t kConnectTimeoutMs = 10'000;
// The longest poll: the library's keep-alive work wants about one call a second.
constexpr int64_t kServiceIntervalMs = 1000;
// Channel values, retained for dashboards, go at most this often: at the fast rates a message per
// channel and record would cost more than all the records.
constexpr int64_t kChannelIntervalMs = 1000;
// Saying goodbye and saving the spill file, beyond the drain time.
constexpr std::chrono::milliseconds kFinishTime{3000};

int64_t NowMs() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

}  // namespace

CMqttPublisher::CMqttPublisher(const TMqttConnection& connection, const std::string& program,
                               uint32_t systemNumber)
    : m_connection(connection),
      m_clientId(TMqttConnection::ClientId(program, systemNumber)),
      m_topics(connection.prefix, systemNumber),
      m_spillName("mqtt-" + program + "-" + std::to_string(systemNumber) + ".spill"),
      m_spillFolder(VEK::WorkFolder()),
      m_log([](const std::string& line) { VEK::TraceLogger().Trace("%s", line.c_str()); }) {
    const bool ipv6 = connection.endpoint.host.find(':') != std::string::npos;
    m_status.broker = (ipv6 ? "[" + connection.endpoint.host + "]" : connection.endpoint.host) + ":" +
                      std::to_string(connection.endpoint.port);
}

// A host name lookup inside the library cannot be cut short: m_thread, the last member, then waits
// for it before the members the thread uses go.
CMqttPublisher::~CMqttPublisher() {
    Stop(std::chrono::milliseconds(0));
}

bool CMqttPublisher::Start() {
    if (m_queue != nullptr)
        return false;
    m_queue = std::make_unique<CRecordQueue>(SpillPath(), m_topics.Record());
    return m_thread.Start([this](const std::atomic<bool>& stop) { Run(stop); });
}

void CMqttPublisher::Publish(const TPublishRecord& record) {
    {
        std::lock_guard<std::mutex> lock(m_lock);
        m_inbox.push_back({false, ERunState::kIdle, record});
    }
    m_wake.Signal();
}

void CMqttPublisher::SetRunState(ERunState state) {
    {
        std::lock_guard<std::mutex> lock(m_lock);
        m_inbox.push_back({true, state, {}});
    }
    m_wake.Signal();
}

void CMqttPublisher::SetProblem(const std::string& text) {
    {
        std::lock_guard<std::mutex> lock(m_lock);
        m_inbox.push_back({false, ERunState::kIdle, {}, true, text});
    }
    m_wake.Signal();
}

TMqttStatus CMqttPublisher::Status() const {
    std::lock_guard<std::mutex> lock(m_lock);
    return m_status;
}

void CMqttPublisher::Stop(std::chrono::milliseconds drain) {
    if (!m_thread.IsRunning())
        return;
    {
        std::lock_guard<std::mutex> lock(m_lock);
        m_drain = drain;
    }
    m_thread.RequestStop();
    m_wake.Signal();
    m_thread.Stop(drain + kFinishTime);
}

void CMqttPublisher::Run(const std::atomic<bool>& stop) {
    OpenQueue();
    m_retryDelayMs = kFirstRetryMs;
    int64_t drainUntil = -1;
    for (;;) {
        TakeInbox();
        const int64_t now = NowMs();
        if (stop && drainUntil < 0) {
            {
                std::lock_guard<std::mutex> lock(m_lock);
                drainUntil = now + m_drain.count();
            }
            // Between two attempts (the broker may be back since the last one): one more before
            // what waits goes to the spill file.
            if (m_session == nullptr && drainUntil > now && !Drained())
                Connect();
        }
        // A connection under way may still come up within the drain time.
        if (stop && (m_session == nullptr || Drained() || now >= drainUntil))
            break;
        if (m_session == nullptr && !stop && now >= m_nextAttemptMs)
            Connect();
        if (Connected())
            Send(now, stop);
        TakeDrops();
        UpdateCounts();
        const bool socketReady = Wait(now);
        Service(NowMs(), socketReady);
        CheckAcknowledgements(NowMs());
    }
    Finish();
}

void CMqttPublisher::OpenQueue() {
    std::string error;
    if (!VEK::CreateFolderWithParents(m_spillFolder, 0700) || !m_queue->Open(error))
        ReportSpill(error.empty() ? "cannot create the folder \"" + m_spillFolder + "\"" : error);
    m_pushed = m_queue->Count();
    if (m_pushed > 0)
        m_log("MQTT の送信待ちファイル[" + SpillPath() + "]から " + std::to_string(m_pushed) +
              " 件を送ります。");
}

void CMqttPublisher::TakeInbox() {
    std::deque<TInboxItem> items;
    {
        std::lock_guard<std::mutex> lock(m_lock);
        items.swap(m_inbox);
    }
    for (const TInboxItem& item : items) {
        if (item.isProblem) {
            m_problem = item.problem;
            m_haveProblem = m_problemPending = true;
            continue;
        }
        if (item.isState) {
            m_runState = item.state;
            m_haveState = m_statePending = true;
            m_stateMark = m_pushed;
            continue;
        }
        m_queue->SetMemoryBound(static_cast<size_t>(kDayMs / std::max<uint32_t>(item.record.rateMs, 1)));
        std::string error;
        m_queue->Push(item.record, error);
        ReportSpill(error);
        ++m_pushed;
        m_latest = item.record;
        m_haveLatest = m_channelsPending = true;
    }
    TakeDrops();
}

// Records the queue gave up (its caps, lines of the spill file that are no records of this
// publisher) are logged; when they were taken from the front, the records in flight are sent again.
void CMqttPublisher::TakeDrops() {
    for (const auto& [reason, count] : m_queue->TakeDrops()) NoteDropped(count, reason);
    if (m_queue->TakeFrontMoved())
        m_inFlight.clear();
}

void CMqttPublisher::NoteDropped(uint64_t count, const std::string& reason) {
    {
        std::lock_guard<std::mutex> lock(m_lock);
        m_status.dropped += count;
        m_status.dropReason = reason;
    }
    m_log("MQTT の記録 " + std::to_string(count) + " 件を送らずに捨てました(" + reason + ")。");
}

void CMqttPublisher::Connect() {
    m_session = std::make_unique<CMosquittoSession>();
    m_sessionUp = false;
    m_connectDeadlineMs = NowMs() + kConnectTimeoutMs;
    std::string error;
    if (!m_session->Start(m_connection, m_clientId, m_topics.State(), kOfflineState, error))
        Lose(error);
}

void CMqttPublisher::Send(int64_t nowMs, bool stopping) {
    while (m_inFlight.size() < kWindow && m_queue->Has(m_inFlight.size())) {
        const CRecordQueue::TMessage message = m_queue->Peek(m_inFlight.size());
        int messageId = 0;
        std::string reason;
        const auto result = m_session->Publish(message.topic, message.payload, false, messageId, reason);
        if (result == CMosquittoSession::EPublish::kFailed)
            return;  // the connection is going; Service says why
        // A message the library refuses would stop every later one: it goes, logged.
        const bool refused = result == CMosquittoSession::EPublish::kRefused;
        if (refused)
            NoteDropped(1, "the MQTT library refused it: " + reason);
        m_inFlight.push_back({messageId, refused, refused, nowMs});
    }
    PopSettled();
    TakeDrops();
    // The records queued before the state have all been sent (or given up).
    if (m_statePending && m_pushed - m_queue->Count() + m_inFlight.size() >= m_stateMark) {
        SendRetained(m_topics.State(), RunStateText(m_runState));
        m_statePending = false;
    }
    if (m_problemPending) {
        SendRetained(m_topics.Problem(), m_problem);
        m_problemPending = false;
    }
    if (m_channelsPending && (stopping || nowMs - m_lastChannelsMs >= kChannelIntervalMs)) {
        const int32_t offset = LocalUtcOffsetSeconds(m_latest.timeMs);
        for (int k = 1; k <= TPublishRecord::kChannels; ++k) {
            if (m_latest.inUse[static_cast<size_t>(k)])
                SendRetained(m_topics.Channel(k), ChannelPayload(m_latest, k, offset));
        }
        m_channelsPending = false;
        m_lastChannelsMs = nowMs;
    }
}

void CMqttPublisher::SendRetained(const std::string& topic, const std::string& payload) {
    int messageId = 0;
    std::string reason;
    if (m_session->Publish(topic, payload, true, messageId, reason) == CMosquittoSession::EPublish::kQueued)
        m_retainedInFlight.emplace(messageId, NowMs());
}

bool CMqttPublisher::Wait(int64_t nowMs) {
    int64_t timeout = kServiceIntervalMs;
    if (m_session == nullptr)
        timeout = std::clamp<int64_t>(m_nextAttemptMs - nowMs, 0, timeout);
    else if (!m_sessionUp)
        timeout = std::clamp<int64_t>(m_connectDeadlineMs - nowMs, 0, timeout);
    else if (m_channelsPending)
        timeout = std::clamp<int64_t>(m_lastChannelsMs + kChannelIntervalMs - nowMs, 0, timeout);
    pollfd fds[2] = {{m_wake.Fd(), POLLIN, 0}, {-1, 0, 0}};
    nfds_t count = 1;
    const int socket = m_session != nullptr ? m_session->Socket() : -1;
    if (socket >= 0) {
        fds[1] = {socket, static_cast<short>(POLLIN | (m_session->WantsWrite() ? POLLOUT : 0)), 0};
        count = 2;
    }
    if (poll(fds, count, static_cast<int>(timeout)) <= 0)
        return false;
    if ((fds[0].revents & POLLIN) != 0)
        m_wake.Clear();
    return count == 2 && fds[1].revents != 0;
}

// The library's loop runs when the socket has something, while connecting, while a write is
// unfinished, and once a second for the keep-alive.
void CMqttPublisher::Service(int64_t nowMs, bool socketReady) {
    if (m_session == nullptr)
        return;
    if (m_sessionUp && !socketReady && !m_session->WantsWrite() &&
        nowMs - m_lastServiceMs < kServiceIntervalMs)
        return;
    m_lastServiceMs = nowMs;
    std::string error;
    const bool alive = m_session->Service(error);
    Acknowledge(m_session->TakeAcknowledged());
    if (!alive) {
        Lose(error);
        return;
    }
    if (!m_sessionUp && m_session->Connected()) {
        m_sessionUp = true;
        m_retryDelayMs = kFirstRetryMs;
        m_statePending = m_haveState;
        m_problemPending = m_haveProblem;
        m_channelsPending = m_haveLatest;
        SetState(TMqttStatus::EState::kConnected, "");
    } else if (!m_sessionUp && nowMs >= m_connectDeadlineMs) {
        Lose("no answer from the broker");
    }
}

void CMqttPublisher::Acknowledge(const std::vector<int>& messageIds) {
    for (int id : messageIds) {
        auto it = std::find_if(m_inFlight.begin(), m_inFlight.end(),
                               [id](const TInFlight& entry) { return entry.messageId == id; });
        if (it != m_inFlight.end())
            it->acknowledged = true;
        else
            m_retainedInFlight.erase(id);
    }
    PopSettled();
}

void CMqttPublisher::PopSettled() {
    while (!m_inFlight.empty() && m_inFlight.front().acknowledged) {
        m_queue->PopFront();
        m_delivered += m_inFlight.front().refused ? 0 : 1;
        m_inFlight.pop_front();
    }
}

void CMqttPublisher::CheckAcknowledgements(int64_t nowMs) {
    if (!m_sessionUp)
        return;
    int64_t oldest = nowMs;
    for (const TInFlight& entry : m_inFlight) {
        if (!entry.acknowledged)
            oldest = std::min(oldest, entry.sentMs);
    }
    for (const auto& [id, sentMs] : m_retainedInFlight) oldest = std::min(oldest, sentMs);
    if (nowMs - oldest >= kAcknowledgeTimeoutMs)
        Lose("no acknowledgement from the broker for " + std::to_string(kAcknowledgeTimeoutMs / 1000) + " s");
}

// The records in flight go again, from the front of the queue, with the next connection.
void CMqttPublisher::Lose(const std::string& reason) {
    const bool refused = !m_session->Refusal().empty();
    m_session.reset();
    m_sessionUp = false;
    m_inFlight.clear();
    m_retainedInFlight.clear();
    m_nextAttemptMs = NowMs() + m_retryDelayMs;
    m_retryDelayMs = std::min(m_retryDelayMs * 2, kLongestRetryMs);
    SetState(refused ? TMqttStatus::EState::kRefused : TMqttStatus::EState::kUnreachable, reason);
}

bool CMqttPublisher::Drained() const {
    return m_queue->Count() == 0 && !m_statePending && !m_problemPending && !m_channelsPending &&
           m_retainedInFlight.empty();
}

void CMqttPublisher::Finish() {
    if (Connected()) {
        m_session->Disconnect();
        std::string ignored;
        const int64_t until = NowMs() + 1000;
        while (m_session->WantsWrite() && NowMs() < until && m_session->Service(ignored)) {
            pollfd fd{m_session->Socket(), POLLOUT, 0};
            poll(&fd, 1, 100);
        }
    }
    m_session.reset();
    std::string error;
    if (!m_queue->Persist(error)) {
        ReportSpill(error);
        m_log("MQTT の未送信 " + std::to_string(m_queue->Count()) + " 件は保存できませんでした。");
    } else if (m_queue->Count() > 0)
        m_log("MQTT の未送信 " + std::to_string(m_queue->Count()) + " 件を送信待ちファイル[" + SpillPath() +
              "]に保存しました。");
    TakeDrops();
    UpdateCounts();
    SetState(TMqttStatus::EState::kStopped, "");
}

void CMqttPublisher::SetState(TMqttStatus::EState state, const std::string& reason) {
    std::string broker;
    {
        std::lock_guard<std::mutex> lock(m_lock);
        // The reason may change while the state stays (lost, then refused by the system): the
        // status shows the newest, the log has the first.
        m_status.reason = reason;
        if (m_status.state == state)
            return;
        m_status.state = state;
        broker = m_status.broker;
    }
    switch (state) {
        case TMqttStatus::EState::kConnected:
            m_log("MQTT ブローカー[" + broker + "]に接続しました。");
            break;
        case TMqttStatus::EState::kUnreachable:
            m_log("MQTT ブローカー[" + broker + "]に接続できません(" + reason + ")。");
            break;
        case TMqttStatus::EState::kRefused:
            m_log("MQTT ブローカー[" + broker + "]が接続を拒否しました(" + reason + ")。");
            break;
        case TMqttStatus::EState::kStopped:
            m_log("MQTT の送信を終了しました。");
            break;
        case TMqttStatus::EState::kConnecting:
            break;
    }
}

void CMqttPublisher::ReportSpill(const std::string& error) {
    {
        std::lock_guard<std::mutex> lock(m_lock);
        if (m_status.spillError == error)
            return;
        m_status.spillError = error;
    }
    if (!error.empty())
        m_log("MQTT の送信待ちファイルを使えません(" + error + ")。");
}

void CMqttPublisher::UpdateCounts() {
    std::lock_guard<std::mutex> lock(m_lock);
    m_status.delivered = m_delivered;
    m_status.waiting = m_queue->Count();
    m_status.spilled = m_queue->SpilledCount();
}
