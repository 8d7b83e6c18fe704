#pragma once
// The codes of the dongle's frames. Commands go from the PC to the dongle; a response carries its
// command's code with bit 7 set; events come from the dongle unasked.
#include <cstdint>

namespace QNL::Code {

// Commands.
inline constexpr uint8_t kModeSetting = 0x0F;
inline constexpr uint8_t kShortDataSend = 0x11;
inline constexpr uint8_t kPollingSetting = 0x17;
inline constexpr uint8_t kFwVersion = 0x2A;
// Radio certification tests.
inline constexpr uint8_t kStartModulationOutput = 0x71;
inline constexpr uint8_t kStartNoModulationOutput = 0x72;
inline constexpr uint8_t kStartIdentification = 0x73;
inline constexpr uint8_t kStartExaminationReception = 0x74;
inline constexpr uint8_t kStopOperation = 0x75;

inline constexpr uint8_t kResponseBit = 0x80;
constexpr uint8_t ResponseTo(uint8_t command) {
    return static_cast<uint8_t>(command | kResponseBit);
}

// Responses.
inline constexpr uint8_t kModeSettingResponse = ResponseTo(kModeSetting);
inline constexpr uint8_t kPollingSettingResponse = ResponseTo(kPollingSetting);
inline constexpr uint8_t kFwVersionResponse = ResponseTo(kFwVersion);
inline constexpr uint8_t kStartModulationOutputResponse = ResponseTo(kStartModulationOutput);
inline constexpr uint8_t kStartNoModulationOutputResponse = ResponseTo(kStartNoModulationOutput);
inline constexpr uint8_t kStartIdentificationResponse = ResponseTo(kStartIdentification);
inline constexpr uint8_t kStartExaminationReceptionResponse = ResponseTo(kStartExaminationReception);
inline constexpr uint8_t kStopOperationResponse = ResponseTo(kStopOperation);

// Events.
inline constexpr uint8_t kDataReceivedEvent = 0x42;
inline constexpr uint8_t kPollingStateEvent = 0x43;

// The kind of unit report a data-received event carries: the first byte of its data.
inline constexpr uint8_t kMeasurementReport = 3;
inline constexpr uint8_t kInformationReport = 4;

}  // namespace QNL::Code
