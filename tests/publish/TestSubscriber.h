#pragma once
// A subscriber of the test: connects to the test broker, subscribes with QoS 1 and keeps every
// message it receives, in order, on libmosquitto's own thread.
#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include "support/GuardedRecord.h"

struct mosquitto;

class CTestSubscriber {
public:
    struct TMessage {
        std::string topic;
        std::string payload;
        bool retained = false;
    };

    CTestSubscriber() = default;
    ~CTestSubscriber();

    // Connects and subscribes to the filter; true once the broker has confirmed the subscription.
    // With a client id the session persists on the broker, and the library reconnects after a
    // broker restart: nothing published meanwhile is missed.
    bool Subscribe(uint16_t port, const std::string& filter, const std::string& persistentId = "");
    std::vector<TMessage> Messages();
    // Waits until the messages so far satisfy the condition; false after the time-out.
    bool WaitFor(const std::function<bool(const std::vector<TMessage>&)>& condition,
                 std::chrono::milliseconds timeout);

private:
    static void OnMessage(struct mosquitto*, void* self, const struct mosquitto_message* message);
    static void OnSubscribe(struct mosquitto*, void* self, int, int, const int*);

    struct mosquitto* m_handle = nullptr;
    testing_support::CGuardedRecord m_record;
    std::vector<TMessage> m_messages;
    bool m_subscribed = false;
};

// The record number of a record payload, or -1.
long RecordNumberOf(const std::string& payload);
