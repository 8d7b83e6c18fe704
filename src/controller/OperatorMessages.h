#pragma once

// The measurement controller's fixed texts for the operator.
namespace OperatorMessage {

inline constexpr const char* kDeviceError = "Stopped measurement because DEVICE ERROR occurred.";
inline constexpr const char* kSaveFailed = "Failed to save data to the file.";
inline constexpr const char* kStartFailed = "Failed to start measurement.";
// Names 0xFFFFFFFF whatever limit define.ini sets.
inline constexpr const char* kRecordLimit =
    "Stopped measurement because the number of measurement data exceeded the maximum value (0xFFFFFFFF).";

}  // namespace OperatorMessage
