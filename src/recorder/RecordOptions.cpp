#include "recorder/RecordOptions.h"

#include <cstdint>

namespace {

// "H:MM" with M below 60; the minutes in 64 bits, so no hour count overflows them.
bool ParseSpan(const std::string& text, int64_t& minutes) {
    const size_t colon = text.find(':');
    if (colon == std::string::npos || colon == 0 || text.size() - colon != 3)
        return false;
    int64_t hours = 0;
    for (size_t i = 0; i < colon; ++i) {
        if (text[i] < '0' || text[i] > '9' || hours > 1000000)
            return false;
        hours = hours * 10 + (text[i] - '0');
    }
    const char tens = text[colon + 1];
    const char ones = text[colon + 2];
    if (tens < '0' || tens > '5' || ones < '0' || ones > '9')
        return false;
    minutes = hours * 60 + (tens - '0') * 10 + (ones - '0');
    return minutes > 0;
}

bool ParseCount(const std::string& text, uint32_t& count, uint64_t minimum = 1,
                uint64_t maximum = UINT32_MAX) {
    if (text.empty() || text.size() > 10)
        return false;
    uint64_t value = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            return false;
        value = value * 10 + static_cast<uint64_t>(c - '0');
    }
    if (value < minimum || value > maximum)
        return false;
    count = static_cast<uint32_t>(value);
    return true;
}

// A day: longer waits are no waits but hangs.
constexpr uint64_t kLongestWaitSeconds = 86400;

}  // namespace

bool TRecordOptions::Parse(const std::vector<std::string>& args, std::string& error) {
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& option = args[i];
        if (option == "--help" || option == "-h") {
            help = true;
            return true;
        }
        if (i + 1 >= args.size()) {
            error = "unknown option or missing value: " + option;
            return false;
        }
        const std::string& value = args[++i];
        bool ok = true;
        if (option == "--setup")
            setupFile = value;
        else if (option == "--offsets")
            ok = !(offsetsFile = value).empty();
        else if (option == "--out")
            outFile = value;
        else if (option == "--span")
            ok = ParseSpan(value, spanMinutes);
        else if (option == "--records")
            ok = ParseCount(value, records);
        else if (option == "--stop-at")
            ok = stopAt.Parse(value) && stopAt.IsValid();
        else if (option == "--mqtt")
            mqttUrl = value;
        else if (option == "--mqtt-prefix")
            mqttPrefix = value;
        else if (option == "--recover")
            ok = !(recoverFile = value).empty();
        else if (option == "--wait")
            ok = ParseCount(value, waitSeconds, 1, kLongestWaitSeconds);
        else if (option == "--save-wait")
            ok = ParseCount(value, saveWaitSeconds, 0, kLongestWaitSeconds);
        else if (option == "--save-retry")
            ok = ParseCount(value, saveRetrySeconds, 1, 3600);
        else
            ok = false;
        if (!ok) {
            error = "bad option: " + option + " " + value;
            return false;
        }
    }
    if (outFile.empty()) {
        error = "--out FILE.csv is required";
        return false;
    }
    if (!recoverFile.empty() && (!setupFile.empty() || !offsetsFile.empty() || spanMinutes != 0 ||
                                 records != 0 || stopAt.IsValid())) {
        error = "--recover takes only --out";
        return false;
    }
    return true;
}

bool TRecordOptions::CheckAgainst(const VEK::CSystemTime& now, std::string& error) const {
    if (stopAt.IsValid() && stopAt.Compare(now) <= 0) {
        error = "--stop-at " + stopAt.Format() + " has passed (it is " + now.Format() + " now)";
        return false;
    }
    return true;
}

VEK::CSystemTime TRecordOptions::StopTime(const VEK::CSystemTime& now) const {
    if (stopAt.IsValid())
        return stopAt;
    if (spanMinutes > 0)
        return now.AddMilliseconds(spanMinutes * 60000);
    return VEK::CSystemTime();
}

TMqttSettings TRecordOptions::Mqtt(TMqttSettings fromDefine) const {
    if (mqttUrl)
        fromDefine.url = *mqttUrl;
    if (mqttPrefix)
        fromDefine.prefix = *mqttPrefix;
    return fromDefine;
}

const char* TRecordOptions::Usage() {
    return "Usage: hollowmere-record --out FILE.csv [--setup FILE.set] [--offsets OFFSETS.csv]\n"
           "                         [--span H:MM] [--records N] [--stop-at \"YYYY/MM/DD hh:mm:ss\"]\n"
           "                         [--mqtt URL] [--mqtt-prefix P] [--wait SECONDS]\n"
           "                         [--save-wait SECONDS] [--save-retry SECONDS]\n"
           "Records a measurement without the window, with the application's settings and dongle.\n"
           "Stops after the span, the number of records or at the stop time, on SIGINT/SIGTERM, or on a\n"
           "device error; saves the data to FILE.csv and prints a summary.\n"
           "--wait SECONDS gives up when the dongle has not answered by then (default: waits on, for a\n"
           "start before the dongle is plugged in).\n"
           "A save that fails (a full disk) keeps the records in memory and is tried again every\n"
           "--save-retry seconds (default 5) for --save-wait seconds (default 600); SIGINT/SIGTERM\n"
           "during that wait try once more. Then the data go to $XDG_RUNTIME_DIR (else the working\n"
           "file's folder), and the summary names the file that holds them.\n"
           "--offsets OFFSETS.csv subtracts the offsets of an offset data file (saved by the Adjust\n"
           "Offset dialog) from the readings of the channels it marks \"Use\"; the data file marks them.\n"
           "--mqtt URL (mqtt://host[:port] or mqtts://host[:port]) publishes every record and the run\n"
           "state to that MQTT broker, below the topic prefix P (default hollowmere); they replace\n"
           "define.ini's \"mqtt-url\" and \"mqtt-prefix\", and --mqtt \"\" publishes nothing.\n"
           "Exit status 0, 1 after a device error, a save that did not reach FILE.csv or no dongle\n"
           "within --wait, 2 for a bad command line, setting (no system number, no dongle vendor id in\n"
           "define.ini), MQTT setting or offset file, 3 when the dongle has another owner.\n"
           "\n"
           "       hollowmere-record --recover WORKING.csv --out FILE.csv\n"
           "Saves the working file of a run that was never saved (Data/work) as the data file FILE.csv\n"
           "and then deletes the working file. Exit status 0, 1 when it cannot be read or saved, 3 when\n"
           "a running measurement still writes it.\n";
}
