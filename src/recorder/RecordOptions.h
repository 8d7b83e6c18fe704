#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "publish/MqttSettings.h"
#include "support/SystemTime.h"

// Command line of hollowmere-record.
struct TRecordOptions {
    std::string setupFile;    // --setup: section "user" of a setup file instead of lastone.ini
    std::string offsetsFile;  // --offsets: an offset data file whose offsets correct the readings
    std::string outFile;      // --out
    int64_t spanMinutes = 0;  // --span H:MM; 0 none
    uint32_t records = 0;     // --records N; 0 none
    VEK::CSystemTime stopAt;  // --stop-at; invalid none
    // --mqtt and --mqtt-prefix, given: they replace define.ini's "mqtt-url" and "mqtt-prefix"; an
    // empty URL publishes nothing.
    std::optional<std::string> mqttUrl;
    std::optional<std::string> mqttPrefix;
    std::string recoverFile;         // --recover: a working file to save as the data file --out, no run
    uint32_t waitSeconds = 0;        // --wait: the longest wait for the dongle; 0 without end
    uint32_t saveWaitSeconds = 600;  // --save-wait: how long a failed save is tried again
    uint32_t saveRetrySeconds = 5;   // --save-retry: the time between two tries
    bool help = false;

    // Parses argv[1..]; false with error set on a bad or missing option.
    bool Parse(const std::vector<std::string>& args, std::string& error);
    // What the moment decides: a --stop-at that has passed is refused. False with error set.
    bool CheckAgainst(const VEK::CSystemTime& now, std::string& error) const;
    // The stop time from --stop-at, else now + --span, else invalid.
    VEK::CSystemTime StopTime(const VEK::CSystemTime& now) const;
    // The publisher's settings from define.ini with the command line's replacements.
    TMqttSettings Mqtt(TMqttSettings fromDefine) const;
    static const char* Usage();
};
