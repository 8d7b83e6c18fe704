#include "DataRowRecord.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <sstream>
#include <vector>

#include "publish/MqttPayload.h"

TPublishRecord RecordOfDataRow(const std::string& row, uint32_t rateMs, bool fahrenheit) {
    std::vector<std::string> fields;
    std::stringstream stream(row);
    for (std::string field; std::getline(stream, field, ',');) fields.push_back(field);
    TPublishRecord record;
    record.rateMs = rateMs;
    record.fahrenheit = fahrenheit;
    if (fields.size() < 3)
        return record;
    record.number = static_cast<uint32_t>(std::strtoul(fields[0].c_str(), nullptr, 10));
    std::tm local{};
    std::sscanf(fields[1].c_str(), "%d/%d/%d %d:%d:%d", &local.tm_year, &local.tm_mon, &local.tm_mday,
                &local.tm_hour, &local.tm_min, &local.tm_sec);
    local.tm_year -= 1900;
    local.tm_mon -= 1;
    local.tm_isdst = -1;
    record.timeMs = int64_t{std::mktime(&local)} * 1000 + std::strtol(fields[2].c_str(), nullptr, 10);
    for (size_t i = 3; i < fields.size(); ++i) {
        const std::string& text = fields[i];
        if (text.empty())
            continue;
        const int channel = static_cast<int>(i - 2);
        if (text == "Lost")
            record.SetReading(channel, kReadingLost);
        else if (text == "Out Of Range")
            record.SetReading(channel, kReadingOutOfRange);
        else
            record.SetReading(channel,
                              static_cast<int16_t>(std::lround(std::strtod(text.c_str(), nullptr) * 10)));
    }
    return record;
}

std::string PayloadOfDataRow(const std::string& row, uint32_t rateMs, bool fahrenheit) {
    const TPublishRecord record = RecordOfDataRow(row, rateMs, fahrenheit);
    return RecordPayload(record, LocalUtcOffsetSeconds(record.timeMs));
}
