#pragma once
// The texts that go to the broker: compact JSON, numbers independent of the process locale.
#include <cstdint>
#include <string>

#include "publish/PublishRecord.h"

// "YYYY-MM-DDThh:mm:ss.mmm+hh:mm": the local time of an instant whose offset from UTC is given.
std::string FormatRecordTime(int64_t timeMs, int32_t utcOffsetSeconds);
// The local offset from UTC at an instant, by the C library's zone rules.
int32_t LocalUtcOffsetSeconds(int64_t timeMs);

// {"record":n,"time":"...","rate_ms":p,"unit":"C","channels":{"1":25.0,"2":null},"status":{"2":"Lost"}}
// Channels in use only, ascending; "status" only when a reading is Lost or Out Of Range.
std::string RecordPayload(const TPublishRecord& record, int32_t utcOffsetSeconds);
// The record of a payload exactly as RecordPayload writes it (any other text, however close, is
// refused): false for anything else.
bool ParseRecordPayload(const std::string& text, TPublishRecord& record);
// {"record":n,"time":"...","unit":"C","value":25.0}, or "value":null with "status":"Lost".
std::string ChannelPayload(const TPublishRecord& record, int channel, int32_t utcOffsetSeconds);
// "idle", "measuring", "finished", "device error".
const char* RunStateText(ERunState state);
// The broker's last will on the state topic.
inline constexpr const char* kOfflineState = "offline";
