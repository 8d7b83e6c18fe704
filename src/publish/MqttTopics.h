#pragma once
#include <cstdint>
#include <string>

// The topics of one radio system: "<prefix>/<system number>/record", ".../state", ".../problem" and
// ".../ch/<n>".
class CMqttTopics {
public:
    CMqttTopics(const std::string& prefix, uint32_t systemNumber);

    const std::string& Record() const { return m_record; }
    const std::string& State() const { return m_state; }
    std::string Problem() const { return m_base + "/problem"; }
    std::string Channel(int channel) const;

    // An MQTT topic is at most 65535 bytes; the system number and the longest level follow.
    static constexpr size_t kLongestPrefix = 65535 - 32;

    // A prefix is one or more topic levels: not empty, no wildcard ('+', '#'), no control
    // character, no empty level, valid UTF-8 and not too long. False with the reason otherwise.
    static bool IsValidPrefix(const std::string& prefix, std::string& reason);

private:
    std::string m_base;
    std::string m_record;
    std::string m_state;
};
