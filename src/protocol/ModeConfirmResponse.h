#pragma once
#include "protocol/PacketTa/ModeConfirmResponse.h"

// 0x8F, the answer to CModeConfirmCommand.
class CModeConfirmResponse : public QNL::PacketTa::CModeConfirmResponse {};
