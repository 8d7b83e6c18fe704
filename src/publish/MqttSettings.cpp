#include "publish/MqttSettings.h"

namespace {

std::string Trimmed(const std::string& text) {
    const size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos)
        return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

}  // namespace

bool TMqttSettings::Enabled() const {
    return !Trimmed(url).empty();
}

TMqttSettings TMqttSettings::Read(const VEK::AccessorSection& parameter) {
    TMqttSettings settings;
    settings.url = Trimmed(parameter.GetString("mqtt-url", ""));
    settings.prefix = Trimmed(parameter.GetString("mqtt-prefix", kDefaultPrefix));
    if (settings.prefix.empty())
        settings.prefix = kDefaultPrefix;
    settings.user = parameter.GetString("mqtt-user", "");
    settings.passwordFile = Trimmed(parameter.GetString("mqtt-password-file", ""));
    settings.caFile = Trimmed(parameter.GetString("mqtt-ca-file", ""));
    return settings;
}
