// Feeds arbitrary command lines (arguments separated by NUL bytes) to hollowmere-record's option
// parser. What it accepts is within the ranges the recorder relies on.
#include <cstdint>
#include <string>

#include "FuzzCheck.h"
#include "recorder/RecordOptions.h"

using fuzz::Require;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    TRecordOptions options;
    std::string error;
    const bool ok = options.Parse(fuzz::Arguments(data, size), error);
    Require(ok == error.empty());
    if (!ok || options.help)
        return 0;
    Require(!options.outFile.empty());
    Require(options.spanMinutes >= 0);
    if (!options.recoverFile.empty()) {
        Require(options.setupFile.empty() && options.offsetsFile.empty() && options.spanMinutes == 0 &&
                options.records == 0 && !options.stopAt.IsValid());
    }
    // The stop time: the one given, else a span later than now, else none.
    const VEK::CSystemTime now{2026, 12, 4, 10, 6, 0, 0, 0};
    const VEK::CSystemTime stop = options.StopTime(now);
    if (options.stopAt.IsValid())
        Require(stop == options.stopAt);
    else if (options.spanMinutes > 0)
        Require(stop.IsValid() && stop.Compare(now) > 0);
    else
        Require(!stop.IsValid());
    const TMqttSettings mqtt = options.Mqtt(TMqttSettings{});
    Require(mqtt.url == options.mqttUrl.value_or(""));
    return 0;
}
