#include "counterpartwin/OppositeServer.h"

#include "link/AbstractSocket.h"

TOppositeServer TOppositeServer::For(const VEK::TDeviceSettings& device) {
    TOppositeServer server;
    if (device.UsesTcp() && device.TcpPort() != 0)
        server.port = static_cast<uint16_t>(device.TcpPort());
    // A server on every address ("0.0.0.0") is reached on the loopback like one on the loopback.
    sockaddr_in address{};
    if (!device.tcpAddress.empty() &&
        VEK::CAbstractSocket::ResolveAddress(device.tcpAddress, server.port, address) &&
        address.sin_addr.s_addr != htonl(INADDR_ANY))
        server.host = device.tcpAddress;
    return server;
}
