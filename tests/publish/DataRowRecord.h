#pragma once
// What a subscriber should receive for the rows of a data or working file.
#include <string>

#include "publish/PublishRecord.h"

// The record of one data row ("1,2024/03/01 12:34:56,0,25.3,Lost,,Out Of Range"): its number, its
// local time, and the channels with a field, "Lost" and "Out Of Range" as markers.
TPublishRecord RecordOfDataRow(const std::string& row, uint32_t rateMs, bool fahrenheit);
// The record topic's payload for the row, as the publisher formats it.
std::string PayloadOfDataRow(const std::string& row, uint32_t rateMs, bool fahrenheit);
