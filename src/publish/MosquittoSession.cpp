#include "publish/MosquittoSession.h"

#include <mosquitto.h>

#include <cerrno>
#include <cstring>
#include <mutex>

namespace {

// The library's global set-up, once per process before the first handle.
void InitialiseLibrary() {
    static std::once_flag once;
    std::call_once(once, [] { mosquitto_lib_init(); });
}

}  // namespace

CMosquittoSession::CMosquittoSession() = default;

CMosquittoSession::~CMosquittoSession() {
    if (m_handle != nullptr)
        mosquitto_destroy(m_handle);
}

std::string CMosquittoSession::ErrorText(int code) const {
    if (code == MOSQ_ERR_ERRNO)
        return std::strerror(errno);
    // "A TLS error occurred." alone does not say what to mend: the certificate, its name, the CA.
    if (code == MOSQ_ERR_TLS && !m_lastError.empty())
        return std::string(mosquitto_strerror(code)) + " " + m_lastError;
    return mosquitto_strerror(code);
}

bool CMosquittoSession::Start(const TMqttConnection& connection, const std::string& clientId,
                              const std::string& willTopic, const std::string& willPayload,
                              std::string& error) {
    InitialiseLibrary();
    m_handle = mosquitto_new(clientId.c_str(), true, this);
    if (m_handle == nullptr) {
        error = std::strerror(errno);
        return false;
    }
    mosquitto_int_option(m_handle, MOSQ_OPT_PROTOCOL_VERSION, MQTT_PROTOCOL_V311);
    mosquitto_connect_callback_set(m_handle, &CMosquittoSession::OnConnect);
    mosquitto_publish_callback_set(m_handle, &CMosquittoSession::OnPublish);
    mosquitto_log_callback_set(m_handle, &CMosquittoSession::OnLog);
    int rc = mosquitto_will_set(m_handle, willTopic.c_str(), static_cast<int>(willPayload.size()),
                                willPayload.data(), kQos, true);
    if (rc == MOSQ_ERR_SUCCESS && !connection.user.empty())
        rc = mosquitto_username_pw_set(m_handle, connection.user.c_str(),
                                       connection.password.empty() ? nullptr : connection.password.c_str());
    if (rc == MOSQ_ERR_SUCCESS && connection.endpoint.tls) {
        const bool ownCa = !connection.caFile.empty();
        rc = mosquitto_tls_set(m_handle, ownCa ? connection.caFile.c_str() : nullptr,
                               ownCa ? nullptr : TMqttConnection::kSystemCaFolder, nullptr, nullptr, nullptr);
    }
    if (rc == MOSQ_ERR_SUCCESS)
        rc = mosquitto_connect_async(m_handle, connection.endpoint.host.c_str(), connection.endpoint.port,
                                     kKeepAliveSeconds);
    if (rc != MOSQ_ERR_SUCCESS) {
        error = ErrorText(rc);
        return false;
    }
    return true;
}

std::string CMosquittoSession::Refusal() const {
    return m_connackCode > 0 ? mosquitto_connack_string(m_connackCode) : "";
}

int CMosquittoSession::Socket() const {
    return m_handle != nullptr ? mosquitto_socket(m_handle) : -1;
}

bool CMosquittoSession::WantsWrite() const {
    return m_handle != nullptr && mosquitto_want_write(m_handle);
}

bool CMosquittoSession::Service(std::string& error) {
    // With no wait the library only handles what the socket has ready, including a TLS handshake
    // step, and then the keep-alive.
    const int rc = mosquitto_loop(m_handle, 0, 1);
    if (rc == MOSQ_ERR_SUCCESS && m_connackCode <= 0)
        return true;
    error = m_connackCode > 0 ? Refusal() : ErrorText(rc);
    return false;
}

CMosquittoSession::EPublish CMosquittoSession::Publish(const std::string& topic, const std::string& payload,
                                                       bool retain, int& messageId, std::string& reason) {
    const int rc = mosquitto_publish(m_handle, &messageId, topic.c_str(), static_cast<int>(payload.size()),
                                     payload.data(), kQos, retain);
    switch (rc) {
        case MOSQ_ERR_SUCCESS:
            return EPublish::kQueued;
        case MOSQ_ERR_INVAL:
        case MOSQ_ERR_PAYLOAD_SIZE:
        case MOSQ_ERR_MALFORMED_UTF8:
        case MOSQ_ERR_OVERSIZE_PACKET:
            reason = mosquitto_strerror(rc);
            return EPublish::kRefused;
        default:
            return EPublish::kFailed;
    }
}

std::vector<int> CMosquittoSession::TakeAcknowledged() {
    std::vector<int> acknowledged;
    acknowledged.swap(m_acknowledged);
    return acknowledged;
}

void CMosquittoSession::Disconnect() {
    mosquitto_disconnect(m_handle);
}

void CMosquittoSession::OnConnect(struct mosquitto*, void* self, int code) {
    static_cast<CMosquittoSession*>(self)->m_connackCode = code;
}

void CMosquittoSession::OnLog(struct mosquitto*, void* self, int level, const char* text) {
    if (level == MOSQ_LOG_ERR && text != nullptr)
        static_cast<CMosquittoSession*>(self)->m_lastError = text;
}

void CMosquittoSession::OnPublish(struct mosquitto*, void* self, int messageId) {
    static_cast<CMosquittoSession*>(self)->m_acknowledged.push_back(messageId);
}
