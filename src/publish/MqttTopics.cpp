#include "publish/MqttTopics.h"

#include <mosquitto.h>

CMqttTopics::CMqttTopics(const std::string& prefix, uint32_t systemNumber)
    : m_base(prefix + "/" + std::to_string(systemNumber)),
      m_record(m_base + "/record"),
      m_state(m_base + "/state") {}

std::string CMqttTopics::Channel(int channel) const {
    return m_base + "/ch/" + std::to_string(channel);
}

bool CMqttTopics::IsValidPrefix(const std::string& prefix, std::string& reason) {
    if (prefix.empty()) {
        reason = "the topic prefix is empty";
        return false;
    }
    for (unsigned char c : prefix) {
        if (c == '+' || c == '#') {
            reason = "the topic prefix \"" + prefix + "\" holds a wildcard ('+' or '#')";
            return false;
        }
        if (c < 0x20 || c == 0x7F) {
            reason = "the topic prefix holds a control character";
            return false;
        }
    }
    if (prefix.front() == '/' || prefix.back() == '/' || prefix.find("//") != std::string::npos) {
        reason = "the topic prefix \"" + prefix + "\" has an empty level";
        return false;
    }
    // What the library would refuse for every message, so that nothing would ever go out.
    if (mosquitto_validate_utf8(prefix.c_str(), static_cast<int>(prefix.size())) != MOSQ_ERR_SUCCESS) {
        reason = "the topic prefix is not valid UTF-8";
        return false;
    }
    if (prefix.size() > kLongestPrefix) {
        reason = "the topic prefix is longer than " + std::to_string(kLongestPrefix) + " bytes";
        return false;
    }
    return true;
}
