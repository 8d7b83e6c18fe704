#pragma once
// One connection to the broker through libmosquitto, from the connect to its end; driven by the
// publisher's thread, which polls the socket itself. A new session is made for every attempt, so
// nothing of a lost connection is sent again behind the publisher's back.
#include <string>
#include <vector>

#include "publish/MqttConnection.h"
#include "support/CopyImpossible.h"

struct mosquitto;

class CMosquittoSession : private VEK::CCopyImpossible {
public:
    static constexpr int kKeepAliveSeconds = 30;
    static constexpr int kQos = 1;

    CMosquittoSession();
    // Drops the connection without a goodbye: the broker then publishes the last will.
    ~CMosquittoSession();

    // Sets identity, credentials, TLS and the retained last will, then starts connecting without
    // waiting. False with the reason.
    bool Start(const TMqttConnection& connection, const std::string& clientId, const std::string& willTopic,
               const std::string& willPayload, std::string& error);
    // The broker accepted the connection.
    bool Connected() const { return m_connackCode == 0; }
    // The broker's answer when it refused, else empty.
    std::string Refusal() const;
    int Socket() const;
    bool WantsWrite() const;
    // Reads, writes and keeps the connection alive; call when the socket is ready and about once a
    // second. False with the reason when the connection has ended.
    bool Service(std::string& error);
    enum class EPublish {
        kQueued,
        kRefused,  // the library will never send this message (its topic or size); the reason is set
        kFailed,   // the connection is going; Service says why
    };
    // QoS 1.
    EPublish Publish(const std::string& topic, const std::string& payload, bool retain, int& messageId,
                     std::string& reason);
    // Message ids the broker has acknowledged since the last call.
    std::vector<int> TakeAcknowledged();
    // Says goodbye, so that the broker keeps the retained state instead of the last will.
    void Disconnect();

private:
    static void OnConnect(struct mosquitto*, void* self, int code);
    static void OnPublish(struct mosquitto*, void* self, int messageId);
    static void OnLog(struct mosquitto*, void* self, int level, const char* text);
    std::string ErrorText(int code) const;

    struct mosquitto* m_handle = nullptr;
    int m_connackCode = -1;  // -1 until the broker answers
    std::vector<int> m_acknowledged;
    std::string m_lastError;  // the library's last error line, e.g. the TLS library's reason
};
