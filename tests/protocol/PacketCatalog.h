#pragma once
// Every concrete dongle packet class, for table-driven tests and the frame fuzzer.
#include <functional>
#include <memory>
#include <vector>

#include "protocol/CommandCode.h"
#include "protocol/FwVersionResponse.h"
#include "protocol/ModeConfirmCommand.h"
#include "protocol/ModeConfirmResponse.h"
#include "protocol/PacketSi/StartExaminationReceptionCommand.h"
#include "protocol/PacketSi/StartExaminationReceptionResponse.h"
#include "protocol/PacketSi/StartIdentificationCommand.h"
#include "protocol/PacketSi/StartIdentificationResponse.h"
#include "protocol/PacketSi/StartModulationOutputCommand.h"
#include "protocol/PacketSi/StartModulationOutputResponse.h"
#include "protocol/PacketSi/StartNoModulationOutputCommand.h"
#include "protocol/PacketSi/StartNoModulationOutputResponse.h"
#include "protocol/PacketSi/StopOperationCommand.h"
#include "protocol/PacketSi/StopOperationResponse.h"
#include "protocol/PacketTa/DataReceivedEvent.h"
#include "protocol/PacketTa/FwVersionCommand.h"
#include "protocol/PacketTa/ShortDataSendCommand.h"
#include "protocol/PollingDataSendCommand.h"
#include "protocol/PollingDataSendResponse.h"
#include "protocol/PollingDataSentEvent.h"

namespace protocol_test {

using TPacketMaker = std::function<std::unique_ptr<QNL::CAbstractPacket>()>;

template <class T>
TPacketMaker Maker() {
    return [] { return std::make_unique<T>(); };
}

// Keyed by command code.
inline const std::vector<std::pair<uint8_t, TPacketMaker>>& AllPacketMakers() {
    using namespace QNL::PacketSi;
    using namespace QNL::PacketTa;
    namespace Code = QNL::Code;
    static const std::vector<std::pair<uint8_t, TPacketMaker>> makers = {
        {Code::kModeSetting, Maker<CModeConfirmCommand>()},
        {Code::kModeSettingResponse, Maker<::CModeConfirmResponse>()},
        {Code::kShortDataSend, Maker<CShortDataSendCommand>()},
        {Code::kPollingSetting, Maker<CPollingDataSendCommand>()},
        {Code::kPollingSettingResponse, Maker<CPollingDataSendResponse>()},
        {Code::kFwVersion, Maker<CFwVersionCommand>()},
        {Code::kFwVersionResponse, Maker<CFwVersionResponse>()},
        {Code::kDataReceivedEvent, Maker<CDataReceivedEvent>()},
        {Code::kPollingStateEvent, Maker<CPollingDataSentEvent>()},
        {Code::kStartModulationOutput, Maker<CStartModulationOutputCommand>()},
        {Code::kStartModulationOutputResponse, Maker<CStartModulationOutputResponse>()},
        {Code::kStartNoModulationOutput, Maker<CStartNoModulationOutputCommand>()},
        {Code::kStartNoModulationOutputResponse, Maker<CStartNoModulationOutputResponse>()},
        {Code::kStartIdentification, Maker<CStartIdentificationCommand>()},
        {Code::kStartIdentificationResponse, Maker<CStartIdentificationResponse>()},
        {Code::kStartExaminationReception, Maker<CStartExaminationReceptionCommand>()},
        {Code::kStartExaminationReceptionResponse, Maker<CStartExaminationReceptionResponse>()},
        {Code::kStopOperation, Maker<CStopOperationCommand>()},
        {Code::kStopOperationResponse, Maker<CStopOperationResponse>()},
    };
    return makers;
}

inline std::unique_ptr<QNL::CAbstractPacket> MakePacket(uint8_t command) {
    for (const auto& [code, make] : AllPacketMakers()) {
        if (code == command)
            return make();
    }
    return nullptr;
}

}  // namespace protocol_test
