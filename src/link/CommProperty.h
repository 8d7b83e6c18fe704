#pragma once
#include <cstdint>
#include <string>

namespace VEK {

// What a transport tells about itself.
struct TCommProperty {
    std::string name;            // display name of the channel
    uint32_t typeId = 0;         // bits 24-31 transport kind, bits 0-15 instance number
    uint32_t receiveWaitMs = 0;  // how long one Receive may wait for data
    int32_t sendUnit = -1;       // bytes sent per unit, -1 for any
    int32_t receiveUnit = -1;    // bytes one Receive can return, -1 for any
};

// Transport kinds in bits 24-31 of a type id.
constexpr uint32_t kCommKindSerial = 0x01;
constexpr uint32_t kCommKindSocketServer = 0x02;
constexpr uint32_t kCommKindSocketClient = 0x03;
constexpr uint32_t kCommKindUsbHid = 0x06;

constexpr uint32_t MakeCommTypeId(uint32_t kind, uint32_t instance) {
    return (kind << 24) | (instance & 0xFFFF);
}

}  // namespace VEK
