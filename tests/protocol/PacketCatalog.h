#pragma once
// Every concrete dongle packet class, for table-driven tests and the frame fuzzer.
#include <functional>
#include <memory>
#include <vector>

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
    static const std::vector<std::pair<uint8_t, TPacketMaker>> makers = {
        {0x0F, Maker<CModeConfirmCommand>()},
        {0x8F, Maker<::CModeConfirmResponse>()},
        {0x11, Maker<CShortDataSendCommand>()},
        {0x17, Maker<CPollingDataSendCommand>()},
        {0x97, Maker<CPollingDataSendResponse>()},
        {0x2A, Maker<CFwVersionCommand>()},
        {0xAA, Maker<CFwVersionResponse>()},
        {0x42, Maker<CDataReceivedEvent>()},
        {0x43, Maker<CPollingDataSentEvent>()},
        {0x71, Maker<CStartModulationOutputCommand>()},
        {0xF1, Maker<CStartModulationOutputResponse>()},
        {0x72, Maker<CStartNoModulationOutputCommand>()},
        {0xF2, Maker<CStartNoModulationOutputResponse>()},
        {0x73, Maker<CStartIdentificationCommand>()},
        {0xF3, Maker<CStartIdentificationResponse>()},
        {0x74, Maker<CStartExaminationReceptionCommand>()},
        {0xF4, Maker<CStartExaminationReceptionResponse>()},
        {0x75, Maker<CStopOperationCommand>()},
        {0xF5, Maker<CStopOperationResponse>()},
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
