#include "files/DeviceSettings.h"

#include <mutex>

#include "files/TraceLogger.h"
#include "support/NumberText.h"

namespace VEK {

uint16_t TDeviceSettings::VendorId() const {
    return static_cast<uint16_t>(ParseCInteger(vendorText));
}

uint16_t TDeviceSettings::ProductId() const {
    return static_cast<uint16_t>(ParseCInteger(productText));
}

int TDeviceSettings::TcpPort() const {
    int64_t port = ParseCInteger(productText);
    return port >= 0 && port <= 65535 ? static_cast<int>(port) : 0;
}

namespace {

// "rec-max" outside 1 to 2^31 − 1 means the default. Read at every attempt to open the dongle, so
// a replaced value is logged once, not every second.
int32_t RecordLimit(const AccessorSection& parameter, int32_t defaultLimit) {
    const std::string text = parameter.GetString("rec-max", "");
    if (text.empty())
        return defaultLimit;
    const int64_t limit = ParseLeadingDecimal(text);
    if (limit >= 1 && limit <= INT32_MAX)
        return static_cast<int32_t>(limit);
    static std::mutex mutex;
    static std::string reported;
    std::lock_guard<std::mutex> lock(mutex);
    if (text != reported) {
        reported = text;
        TraceLogger().Trace("rec-max[%s]は範囲外のため既定値 %d を使います。", text.c_str(), defaultLimit);
    }
    return defaultLimit;
}

}  // namespace

TDeviceSettings TDeviceSettings::Read(const AccessorSection& parameter) {
    TDeviceSettings settings;
    settings.recordLimit = RecordLimit(parameter, settings.recordLimit);
    settings.vendorText = parameter.GetString("hid-vid", settings.vendorText);
    settings.productText = parameter.GetString("hid-pid", settings.productText);
    settings.tcpAddress = parameter.GetString("tcp-address", settings.tcpAddress);
    return settings;
}

}  // namespace VEK
