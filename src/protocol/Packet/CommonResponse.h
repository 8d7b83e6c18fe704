#pragma once
#include "protocol/AbstractParamPacketT.h"
#include "protocol/Packet/Result.h"

namespace QNL::Packet {

// The base of every response that carries only a result byte.
class CCommonResponse : public CAbstractParamPacketT<TResult> {
public:
    uint8_t ResultByte() const override { return Param().result; }

protected:
    using CAbstractParamPacketT<TResult>::CAbstractParamPacketT;
};

}  // namespace QNL::Packet
