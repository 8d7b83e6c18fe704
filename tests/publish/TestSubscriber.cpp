#include "TestSubscriber.h"

#include <mosquitto.h>

#include <cstdlib>
#include <cstring>

CTestSubscriber::~CTestSubscriber() {
    if (m_handle == nullptr)
        return;
    mosquitto_disconnect(m_handle);
    mosquitto_loop_stop(m_handle,
                        false);  // the loop ends with the goodbye; cancelling it could leave a lock held
    mosquitto_destroy(m_handle);
}

bool CTestSubscriber::Subscribe(uint16_t port, const std::string& filter, const std::string& persistentId) {
    mosquitto_lib_init();
    m_handle = persistentId.empty() ? mosquitto_new(nullptr, true, this)
                                    : mosquitto_new(persistentId.c_str(), false, this);
    mosquitto_message_callback_set(m_handle, &CTestSubscriber::OnMessage);
    mosquitto_subscribe_callback_set(m_handle, &CTestSubscriber::OnSubscribe);
    if (mosquitto_connect(m_handle, "127.0.0.1", port, 30) != MOSQ_ERR_SUCCESS ||
        mosquitto_subscribe(m_handle, nullptr, filter.c_str(), 1) != MOSQ_ERR_SUCCESS ||
        mosquitto_loop_start(m_handle) != MOSQ_ERR_SUCCESS)
        return false;
    return m_record.WaitUntil([this] { return m_subscribed; });
}

std::vector<CTestSubscriber::TMessage> CTestSubscriber::Messages() {
    return m_record.Get(m_messages);
}

bool CTestSubscriber::WaitFor(const std::function<bool(const std::vector<TMessage>&)>& condition,
                              std::chrono::milliseconds timeout) {
    return m_record.WaitUntil([&] { return condition(m_messages); }, timeout);
}

void CTestSubscriber::OnMessage(struct mosquitto*, void* self, const struct mosquitto_message* message) {
    auto* subscriber = static_cast<CTestSubscriber*>(self);
    TMessage copy{
        message->topic,
        std::string(static_cast<const char*>(message->payload), static_cast<size_t>(message->payloadlen)),
        message->retain};
    subscriber->m_record.Record([&] { subscriber->m_messages.push_back(std::move(copy)); });
}

void CTestSubscriber::OnSubscribe(struct mosquitto*, void* self, int, int, const int*) {
    auto* subscriber = static_cast<CTestSubscriber*>(self);
    subscriber->m_record.Record([&] { subscriber->m_subscribed = true; });
}

long RecordNumberOf(const std::string& payload) {
    const char* key = "{\"record\":";
    if (payload.rfind(key, 0) != 0)
        return -1;
    return std::strtol(payload.c_str() + std::strlen(key), nullptr, 10);
}
