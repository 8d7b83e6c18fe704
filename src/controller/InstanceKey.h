#pragma once

// The single-instance key of everything that owns the dongle: the application and the headless
// recorder take the same key, so the dongle has one owner per user session.
inline constexpr const char* kInstanceKey = "ZentriApp.20140922";
inline constexpr const char* kApplicationOwner = "hollowmere";
inline constexpr const char* kRecorderOwner = "hollowmere-record";
