#include "files/ParameterSet.h"

#include <strings.h>

#include <cstdio>

#include "data/SamplingRate.h"
#include "files/CodeTables.h"

namespace VEK {
namespace {

// Channels in use when the settings name none.
constexpr int kChannelsOnByDefault = 10;
// Limits of define.ini's command time-out and retries; values outside give the defaults.
constexpr uint32_t kMinCommandTimeoutMs = 10;
constexpr uint32_t kMaxCommandTimeoutMs = 10000;
constexpr uint32_t kMaxCommandRetries = 100;

std::string ChannelKey(int channel) {
    char key[16];
    std::snprintf(key, sizeof key, "chpt%d", channel);
    return key;
}

uint8_t ReadRateCode(const AccessorSection& user) {
    const TSamplingRate* rate = FindSamplingRate(static_cast<uint32_t>(
        SamplingRateCode(user.GetString("sample-intvl", FindSamplingRate(kDefaultSamplingRate)->name))));
    return static_cast<uint8_t>(rate != nullptr && rate->settable ? rate->code : kDefaultSamplingRate);
}

void ReadChannel(TParameterSet& set, const AccessorSection& user, int channel) {
    std::vector<std::string> fields = SplitFields(user.GetString(ChannelKey(channel), ""));
    fields.resize(3);
    bool on;
    if (strcasecmp(fields[0].c_str(), "OFF") == 0) {
        on = false;
    } else if (strcasecmp(fields[0].c_str(), "ON") == 0) {
        on = true;
    } else {
        on = channel <= kChannelsOnByDefault;
    }
    set.polling.SetUnitCode(channel, static_cast<uint8_t>(TPollingSetting::kInfoWanted | (on ? 1 : 0)));
    set.thermocoupleType[channel] = ThermocoupleTypeFromText(fields[1]);
    set.comment[channel] = fields[2];
}

}  // namespace

void ReadParameterSet(TParameterSet& set, const AccessorSection& user, const AccessorSection& parameter) {
    set.polling = TPollingSetting::Fresh();
    set.polling.SetRateCode(ReadRateCode(user));
    for (int channel = 1; channel <= kChannelCount; ++channel) ReadChannel(set, user, channel);
    set.systemNumber = static_cast<uint32_t>(user.GetInteger("system-no", 0));
    set.visibleItemsSingle = static_cast<uint8_t>(
        user.GetInteger("visibleitem-single", TParameterSet::kDefaultVisibleItemsSingle));
    set.visibleItemsOnly =
        static_cast<uint8_t>(user.GetInteger("visibleitem-only", TParameterSet::kDefaultVisibleItemsOnly));
    set.temperatureUnit = static_cast<uint32_t>(user.GetInteger("temp-unit", kTemperatureUnitCelsius));
    // Compared as unsigned: negative values are out of range too.
    const auto timeout =
        static_cast<uint32_t>(parameter.GetInteger("cmd-timeout", TParameterSet::kDefaultCommandTimeoutMs));
    set.commandTimeoutMs = (timeout > kMaxCommandTimeoutMs || timeout < kMinCommandTimeoutMs)
                               ? TParameterSet::kDefaultCommandTimeoutMs
                               : timeout;
    const auto retries =
        static_cast<uint32_t>(parameter.GetInteger("cmd-retry", TParameterSet::kDefaultCommandRetries));
    set.commandRetries = retries > kMaxCommandRetries ? TParameterSet::kDefaultCommandRetries : retries;
}

bool WriteParameterSet(const TParameterSet& set, const AccessorSection& user) {
    bool ok = true;
    for (int channel = 1; channel <= kChannelCount; ++channel) {
        std::string text = std::string(set.polling.InUse(channel) ? "ON" : "OFF") + "," +
                           ThermocoupleTypeName(set.thermocoupleType[channel]) + ",\"" +
                           set.comment[channel] + "\"";
        ok = user.SetString(ChannelKey(channel), text) && ok;
    }
    ok = user.SetInteger("system-no", static_cast<int32_t>(set.systemNumber)) && ok;
    ok = user.SetInteger("visibleitem-single", set.visibleItemsSingle) && ok;
    ok = user.SetInteger("visibleitem-only", set.visibleItemsOnly) && ok;
    ok = user.SetInteger("temp-unit", static_cast<int32_t>(set.temperatureUnit)) && ok;
    return ok;
}

bool SaveUserSection(const TParameterSet& set, const TGraphScaleSettings& scales,
                     const AccessorSection& user) {
    bool ok = WriteParameterSet(set, user);
    ok = user.SetString("time-div", scales.timeDiv) && ok;
    ok = user.SetString("temp-div", scales.tempDiv) && ok;
    ok = user.SetInteger("temp-offset", scales.tempOffset) && ok;
    return ok;
}

TGraphScaleSettings ReadGraphScales(const AccessorSection& user) {
    TGraphScaleSettings scales;
    scales.timeDiv = user.GetString("time-div", scales.timeDiv);
    scales.tempDiv = user.GetString("temp-div", scales.tempDiv);
    scales.tempOffset = user.GetInteger("temp-offset", scales.tempOffset);
    return scales;
}

std::vector<std::string> SplitFields(const std::string& text) {
    std::vector<std::string> fields;
    size_t pos = 0;
    while (pos <= text.size() && !text.empty()) {
        if (text[pos] == '"') {
            size_t close = text.find('"', pos + 1);
            while (close != std::string::npos && close + 1 < text.size() && text[close + 1] != ',') {
                close = text.find('"', close + 1);
            }
            if (close != std::string::npos) {
                fields.push_back(text.substr(pos + 1, close - pos - 1));
                if (close + 1 >= text.size())
                    break;
                pos = close + 2;
                continue;
            }
        }
        size_t comma = text.find(',', pos);
        if (comma == std::string::npos) {
            fields.push_back(text.substr(pos));
            break;
        }
        fields.push_back(text.substr(pos, comma - pos));
        pos = comma + 1;
    }
    return fields;
}

}  // namespace VEK
