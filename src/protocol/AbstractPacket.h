#pragma once
#include <string>

#include "protocol/BasicPacket.h"

namespace QNL {

// A packet of one fixed command code; this base carries no data.
class CAbstractPacket : public CBasicPacket {
public:
    // Accepts only a frame of this packet's command code (else -201) whose data SetPayload takes.
    int ParseFrame(const uint8_t* bytes, size_t size) override;
    // One line: the packet's display name.
    std::vector<std::string> DescribeLines() const override { return {m_name}; }
    int SetPayload(size_t size, const uint8_t* bytes) override;
    // The result byte of a response (0 success); 0 for commands and events.
    virtual uint8_t ResultByte() const { return 0; }

    const std::string& Name() const { return m_name; }

protected:
    CAbstractPacket(uint8_t command, std::string name) : CBasicPacket(command), m_name(std::move(name)) {}

private:
    std::string m_name;
};

}  // namespace QNL
