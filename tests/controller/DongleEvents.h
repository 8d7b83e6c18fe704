#pragma once
// The dongle's events as the receive thread hands them to the controller's listener.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <cstdint>
#include <vector>

#include "link/TestFramePacket.h"  // tests/link
#include "protocol/BasicPacket.h"
#include "protocol/CommandCode.h"
#include "protocol/RfPacketCommander.h"

namespace controller_test {

// The one QCoreApplication of a test process, made on first use.
inline void EnsureCoreApplication() {
    static int argc = 1;
    static char name[] = "controller_tests";
    static char* argv[] = {name, nullptr};
    if (QCoreApplication::instance() == nullptr)
        new QCoreApplication(argc, argv);
}

// A frame as the dongle sends it, parsed as the commander parses it.
inline QNL::CBasicPacket Frame(uint8_t command, const std::vector<uint8_t>& data) {
    const std::vector<uint8_t> bytes = link_test::CTestFramePacket::Frame(command, data);
    QNL::CBasicPacket packet;
    EXPECT_GT(packet.ParseFrame(bytes.data(), bytes.size()), 0);
    return packet;
}

// A data-received event carrying the unit report: pipe 0, last piece, then the report.
inline QNL::CBasicPacket DataReceivedEvent(const std::vector<uint8_t>& report) {
    std::vector<uint8_t> data{0, 0};
    data.insert(data.end(), report.begin(), report.end());
    return Frame(QNL::Code::kDataReceivedEvent, data);
}

// Through the commander's dispatch, as the receive thread does.
inline void Deliver(QNL::CBasicPacket frame, QNL::CRfPacketCommander::IListener& listener) {
    QNL::CRfPacketCommander::Dispatch(frame, 0, listener);
}

}  // namespace controller_test
