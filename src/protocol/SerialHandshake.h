#pragma once
#include <cstdint>
#include <functional>

namespace QNL {

// The RTS/CTS handshake before a command goes out on a serial dongle: RTS is dropped, the dongle
// answers with CTS when it is ready to listen, RTS is raised again. The calling thread runs at the
// highest normal priority for the whole handshake, including the guarded action.
class CSerialHandshake {
public:
    // The modem lines of the serial port.
    class ILines {
    public:
        virtual ~ILines() = default;
        virtual bool SetRts(bool raised) = 0;
        virtual bool IsCtsSet() = 0;
    };

    static constexpr int kNoCts = -10;

    // Runs action once CTS has come, within ctsWaitMs (polled every millisecond): its result, or
    // kNoCts without running it.
    static int Run(ILines& lines, uint32_t ctsWaitMs, const std::function<int()>& action);
};

}  // namespace QNL
