#include "publish/MqttStatus.h"

std::string TMqttStatus::Text() const {
    std::string text = "MQTT ";
    switch (state) {
        case EState::kConnecting:
            text += "connecting";
            break;
        case EState::kConnected:
            text += "connected";
            break;
        case EState::kUnreachable:
            text += "unreachable";
            break;
        case EState::kRefused:
            text += "refused";
            break;
        case EState::kStopped:
            text += "stopped";
            break;
    }
    if (!reason.empty() && (state == EState::kUnreachable || state == EState::kRefused))
        text += " (" + reason + ")";
    if (waiting > 0)
        text += ", " + std::to_string(waiting) + " waiting";
    if (spilled > 0)
        text += ", " + std::to_string(spilled) + " in spill file";
    if (dropped > 0)
        text += ", " + std::to_string(dropped) + " dropped (" + dropReason + ")";
    if (!spillError.empty())
        text += ", spill file: " + spillError;
    return text;
}
